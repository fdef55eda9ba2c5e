// The engine's host in the desktop program: message boxes owned by the right
// window, the progress window of each long pass, the beep and the editor.
#pragma once

#include "engine/host/host.h"
#include "engine/config/language.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zv::qt {

class ProgressDialog;

struct MessageRequest {
    QString text, caption;
    zv::Buttons buttons;
    zv::Icon icon;
    zv::Owner owner;
    // Enter gives the safe answer (the one an unattended run gives), not the first button.
    bool safeDefault = false;
};

class QtHost : public zv::Host {
public:
    QtHost() = default;
    explicit QtHost(const zv::LanguageTexts* texts) : texts_(texts) {}

    // The texts the progress window shows at creation; without them it keeps
    // its English defaults (the language file is not loaded yet).
    void SetTexts(const zv::LanguageTexts* texts) { texts_ = texts; }
    void SetFrame(QWidget* frame);    // owner for Owner::Frame
    void PushDialog(QWidget* dialog); // owner for Owner::Dialog (top of a stack)
    void PopDialog(QWidget* dialog);

    // Tests answer message boxes here instead of showing them (nullopt = show the box).
    using MessageHook = std::function<std::optional<zv::Answer>(const MessageRequest&)>;
    void SetMessageHook(MessageHook hook) { hook_ = std::move(hook); }

    // The window a message box of this owner belongs to; nullptr = none.
    QWidget* OwnerWidget(zv::Owner owner) const;
    // The window of the pass that is running now (else the newest still up).
    ProgressDialog* CurrentProgressWindow() const;

    zv::Answer Message(const std::string& text, const std::string& caption, zv::Buttons buttons, zv::Icon icon,
                       zv::Owner owner) override;
    zv::Answer AskBeforeDiscarding(const std::string& text, const std::string& caption, zv::Buttons buttons,
                                   zv::Icon icon, zv::Owner owner) override;
    void Beep() override;
    std::shared_ptr<zv::ProgressWindow> StartProgressWindow() override;
    void OpenForEditing(const std::string& path) override;

private:
    QWidget* TopDialog() const;
    zv::Answer Show(const MessageRequest& request);

    const zv::LanguageTexts* texts_ = nullptr;
    MessageHook hook_;
    QPointer<QWidget> frame_;
    std::vector<QPointer<QWidget>> dialogs_;
    std::vector<QPointer<ProgressDialog>> progressWindows_;
};

// Makes a dialog the owner of Owner::Dialog messages for its lifetime. Does
// nothing when the host is not the desktop program's (tests with a script).
class DialogOwnerScope {
public:
    DialogOwnerScope(zv::Host& host, QWidget* dialog);
    ~DialogOwnerScope();
    DialogOwnerScope(const DialogOwnerScope&) = delete;
    DialogOwnerScope& operator=(const DialogOwnerScope&) = delete;

private:
    QtHost* host_;
    QWidget* dialog_;
};

} // namespace zv::qt
