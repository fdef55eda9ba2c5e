// The host of the command line: statements go to standard error, questions
// get the answer that lets the run go on, and progress windows stay silent.
#pragma once

#include "engine/host/host.h"

#include <cstdio>
#include <memory>
#include <string>

namespace zv::cli {

class ConsoleHost final : public Host {
public:
    explicit ConsoleHost(std::FILE* err = stderr) : err_(err) {}

    // Statements (an OK button) and errors that offer a choice (stop icon)
    // are printed; every question is answered OK or Yes without a word, since
    // nobody sits at the prompt. Retry is never chosen: it would loop.
    Answer Message(const std::string& text, const std::string& caption, Buttons buttons, Icon icon,
                   Owner owner) override;
    std::shared_ptr<ProgressWindow> StartProgressWindow() override;
    // The command line opens no editor after a bad line; the message says
    // where the line is.
    void OpenForEditing(const std::string& path) override { (void)path; }

    // Prints one line of the command line's own to standard error.
    void Print(const std::string& text);
    // How many messages went to standard error so far.
    int printed() const { return printed_; }

private:
    std::FILE* err_;
    int printed_ = 0;
};

} // namespace zv::cli
