// The narrow window through which the engine talks to the user. The desktop
// program shows dialogs, the command line prints, the tests record and answer
// from a script. Engines never see more of the user interface than this.
#pragma once

#include <memory>
#include <string>

namespace zv {

enum class Buttons { Ok, OkCancel, YesNo, RetryCancel };
enum class Icon { None, Stop, Exclamation, Question, Information };
enum class Answer { Ok, Cancel, Yes, No, Retry };

// Which window a message box belongs to. The host maps these onto its own
// windows; the engine only says what the user is answering about.
enum class Owner { None, Frame, Dialog, Progress };

// The progress window of one long pass. The pass holds it while it works;
// after the pass completes the window stays up until the user presses OK, so
// dropping the last reference never closes it.
class ProgressWindow {
public:
    virtual ~ProgressWindow() = default;
    virtual void SetCaption(const std::string& text) = 0;
    virtual void SetGroupText(const std::string& text) = 0;
    virtual void SetPercent(int percent) = 0;
    virtual void SetOkEnabled(bool enabled) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // The pass itself ends the window (a cancelled pass).
    virtual void End() = 0;
};

class Host {
public:
    virtual ~Host() = default;
    virtual Answer Message(const std::string& text, const std::string& caption,
                           Buttons buttons, Icon icon, Owner owner) = 0;
    // A question whose Yes (or OK) throws something away: a result not yet
    // saved, subtitles left out. A host that shows a box makes No (Cancel)
    // the answer Enter gives.
    virtual Answer AskBeforeDiscarding(const std::string& text, const std::string& caption, Buttons buttons,
                                       Icon icon, Owner owner)
    {
        return Message(text, caption, buttons, icon, owner);
    }
    // The simple system beep.
    virtual void Beep() {}
    // Starts a progress window; it is up and ready when this returns.
    virtual std::shared_ptr<ProgressWindow> StartProgressWindow() = 0;
    // Opens a subtitle file for the user to edit after a bad line.
    virtual void OpenForEditing(const std::string& path) { (void)path; }
};

} // namespace zv
