#include "support/scripted_host.h"

namespace zv::test {

namespace {

class RecordingProgress final : public ProgressWindow {
public:
    explicit RecordingProgress(ScriptedHost& host) : host_(host) {}
    void SetCaption(const std::string& text) override { host_.log.push_back("progress caption " + text); }
    void SetGroupText(const std::string& text) override { host_.log.push_back("progress group " + text); }
    void SetPercent(int percent) override
    {
        host_.percents.push_back(percent);
        host_.log.push_back("progress percent " + std::to_string(percent));
    }
    void SetOkEnabled(bool enabled) override { host_.log.push_back(enabled ? "progress ok on" : "progress ok off"); }
    void SetStatusText(const std::string& text) override
    {
        host_.lastStatus = text;
        host_.log.push_back("progress status " + text);
    }
    void End() override { host_.log.push_back("progress end"); }

private:
    ScriptedHost& host_;
};

} // namespace

Answer ScriptedHost::Message(const std::string& text, const std::string& caption, Buttons buttons, Icon icon,
                             Owner owner)
{
    messages.push_back({text, caption, buttons, icon, owner});
    log.push_back("message " + caption + ": " + text);
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
    case Buttons::YesNo: return Answer::Yes;
    case Buttons::RetryCancel: return Answer::Cancel;
    default: return Answer::Ok;
    }
}

std::shared_ptr<ProgressWindow> ScriptedHost::StartProgressWindow()
{
    ++progressStarted_;
    log.push_back("progress start");
    return std::make_shared<RecordingProgress>(*this);
}

} // namespace zv::test
