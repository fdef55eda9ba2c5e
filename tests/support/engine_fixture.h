// A fresh workspace, settings in memory, a scripted host and language texts
// where text n reads "T<n>", so tests see exactly which text was shown.
#pragma once

#include "engine/context.h"
#include "engine/format_handler.h"
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
    std::unique_ptr<FormatHandler> Open(SubtitleFormat format, const std::string& path, bool* ok = nullptr);
    // Captions of the messages shown so far.
    std::string Captions() const;

    std::string dir;
    ScriptedHost host;
    MemorySettings settings;
    LanguageTexts texts;
    std::unique_ptr<Context> ctx;
    const Workspace& ws() const { return ctx->workspace; }
};

// Writes the numbered language file used by EngineTest.
std::string NumberedLanguageFile(const std::string& path);

} // namespace zv::test
