#include "cli/console_host.h"

namespace zv::cli {

namespace {

class SilentProgress final : public ProgressWindow {
public:
    void SetCaption(const std::string&) override {}
    void SetGroupText(const std::string&) override {}
    void SetPercent(int) override {}
    void SetOkEnabled(bool) override {}
    void SetStatusText(const std::string&) override {}
    void End() override {}
};

// Language texts carry CR LF for their line breaks; a terminal wants LF.
std::string ForTerminal(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

} // namespace

Answer ConsoleHost::Message(const std::string& text, const std::string& caption, Buttons buttons, Icon icon,
                            Owner owner)
{
    (void)owner;
    const bool question = buttons == Buttons::OkCancel || buttons == Buttons::YesNo;
    if (!question || icon == Icon::Stop) {
        const std::string body = ForTerminal(text);
        const std::string title = ForTerminal(caption);
        Print(title.empty() ? body : title + ": " + body);
    }
    switch (buttons) {
    case Buttons::YesNo: return Answer::Yes;
    case Buttons::RetryCancel: return Answer::Cancel;
    default: return Answer::Ok;
    }
}

std::shared_ptr<ProgressWindow> ConsoleHost::StartProgressWindow()
{
    return std::make_shared<SilentProgress>();
}

void ConsoleHost::Print(const std::string& text)
{
    std::fputs(text.c_str(), err_);
    std::fputc('\n', err_);
    std::fflush(err_);
    ++printed_;
}

} // namespace zv::cli
