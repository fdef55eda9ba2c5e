#include "support/engine_fixture.h"

#include "engine/io/file_io.h"
#include "engine/standard_file.h"
#include "engine/io/workspace.h"

#include <cstdio>

namespace zv::test {

std::string NumberedLanguageFile(const std::string& path)
{
    std::string text;
    for (int n = 1; n <= 451; ++n) {
        char label[8];
        std::snprintf(label, sizeof label, "%-5.5s", ("L" + std::to_string(n)).c_str());
        text += std::string(label) + "T" + std::to_string(n) + "\r\n";
    }
    AtomicWriteFile(path, text);
    return path;
}

EngineTest::EngineTest()
{
    dir = MakeRunFolder();
    texts.LoadOnce(NumberedLanguageFile(dir + "/numbered.lan"));
    ctx = std::make_unique<Context>(host, settings, texts);
    InitWorkspacePaths(ctx->workspace, dir);
}

EngineTest::~EngineTest()
{
    RemoveRunFolder(dir);
}

std::string EngineTest::WriteFile(const std::string& name, const std::string& contents) const
{
    const std::string path = Path(name);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(contents.data(), 1, contents.size(), f);
        std::fclose(f);
    }
    return path;
}

std::string EngineTest::ReadFile(const std::string& path)
{
    std::string contents;
    ReadWholeFile(path, contents);
    return contents;
}

std::unique_ptr<FormatHandler> EngineTest::Open(SubtitleFormat format, const std::string& path, bool* ok,
                                                TimePrecision precision)
{
    bool readOk = false;
    auto handler = OpenFormatHandler(*ctx, format, path, readOk, precision);
    if (ok)
        *ok = readOk;
    return handler;
}

std::unique_ptr<FormatHandler> EngineTest::Load(SubtitleFormat format, const std::string& contents,
                                                const std::string& name, TimePrecision precision)
{
    bool ok = false;
    auto handler = Open(format, WriteFile(name, contents), &ok, precision);
    EXPECT_TRUE(ok) << name;
    return handler;
}

std::string EngineTest::Written(FormatHandler& handler, const std::string& records, int convertMode, int firstEntry)
{
    const std::string out = Path("written");
    RemoveFile(out);
    writeOutcome =
        handler.WriteSubtitleFile(WriteFile("records.std", records), out, 0, convertMode, firstEntry, WriteOptions{});
    return ReadFile(out);
}

std::string EngineTest::Messages() const
{
    std::string all;
    for (const auto& m : host.messages)
        all += (all.empty() ? "" : " / ") + m.caption + ": " + m.text;
    return all;
}

std::string Rec(long start, long end, const std::string& text)
{
    return FormatRecord(start, end, text + "\r\n");
}

std::string EngineTest::Captions() const
{
    std::string all;
    for (const auto& m : host.messages)
        all += (all.empty() ? "" : ",") + m.caption;
    return all;
}

} // namespace zv::test
