// A fresh workspace, settings in memory, a scripted host and language texts
// where text n reads "T<n>", so tests see exactly which text was shown.
#pragma once

#include "engine/context.h"
#include "engine/formats/format_handler.h"
#include "engine/outcome.h"
#include "support/scripted_host.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace zv::test {

class EngineTest : public ::testing::Test {
protected:
    EngineTest();
    ~EngineTest() override;

    // A path inside this test's own folder.
    std::string Path(const std::string& name) const { return dir + "/" + name; }
    std::string WriteFile(const std::string& name, const std::string& contents) const;
    static std::string ReadFile(const std::string& path);
    // Reads a subtitle file with the handler of its format (open construction).
    std::unique_ptr<FormatHandler> Open(SubtitleFormat format, const std::string& path, bool* ok = nullptr,
                                        TimePrecision precision = TimePrecision::Tenths);
    // Reads contents as a file of the given format, expecting the read to succeed.
    std::unique_ptr<FormatHandler> Load(SubtitleFormat format, const std::string& contents,
                                        const std::string& name = "in.sub",
                                        TimePrecision precision = TimePrecision::Tenths);
    // What the handler writes for these StandardFile records (they go in as an operation's output).
    // The writer's outcome lands in writeOutcome.
    std::string Written(FormatHandler& handler, const std::string& records, int convertMode = 0,
                        int firstEntry = 0);
    Outcome writeOutcome;
    // Captions of the messages shown so far.
    std::string Captions() const;
    // Every message shown so far as "caption: text", joined by " / ".
    std::string Messages() const;
    // Where the operations under test write their output StandardFile.
    std::string Out() const { return Path("out.std"); }

    std::string dir;
    ScriptedHost host;
    MemorySettings settings;
    LanguageTexts texts;
    std::unique_ptr<Context> ctx;
    const Workspace& ws() const { return ctx->workspace; }
};

// One StandardFile record, its text ended by CR LF.
std::string Rec(long start, long end, const std::string& text);

// Writes the numbered language file used by EngineTest.
std::string NumberedLanguageFile(const std::string& path);

} // namespace zv::test
