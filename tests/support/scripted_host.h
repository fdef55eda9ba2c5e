// A host for tests: records every message and progress call in order and
// answers questions from a script (OK or Yes when the script runs out).
#pragma once

#include "engine/host/host.h"

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace zv::test {

struct RecordedMessage {
    std::string text;
    std::string caption;
    Buttons buttons;
    Icon icon;
    Owner owner;
};

class ScriptedHost : public Host {
public:
    Answer Message(const std::string& text, const std::string& caption, Buttons buttons, Icon icon,
                   Owner owner) override;
    void Beep() override { log.push_back("beep"); }
    std::shared_ptr<ProgressWindow> StartProgressWindow() override;
    void OpenForEditing(const std::string& path) override { log.push_back("edit " + path); }

    // Answers for the next questions, in order.
    std::deque<Answer> answers;
    std::vector<RecordedMessage> messages;
    // Every event in order: "message <caption>: <text>", "progress start",
    // "progress caption <t>", "progress percent <n>", "progress ok on/off",
    // "progress status <t>", "progress group <t>", "progress end", "beep".
    std::vector<std::string> log;

    int ProgressWindowsStarted() const { return progressStarted_; }
    // The status text the last progress window showed.
    std::string lastStatus;
    std::vector<int> percents;

private:
    int progressStarted_ = 0;
};

} // namespace zv::test
