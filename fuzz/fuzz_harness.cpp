#include "fuzz/fuzz_harness.h"

#include "engine/io/file_io.h"
#include "engine/config/setting_names.h"
#include "engine/io/workspace.h"

#include <cstdio>
#include <cstdlib>

#include <unistd.h>

namespace zv::fuzz {

Choices::Choices(std::string_view bytes)
{
    // FNV-1a: the same on every machine, unlike std::hash.
    std::uint64_t h = 14695981039346656037ull;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 1099511628211ull;
    }
    state_ = h;
}

std::uint64_t Choices::Next()
{
    // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

long Choices::Amount()
{
    static constexpr long kEdges[] = {0, 1, -1, 25, -25, 600, -600, 9'999'999, -9'999'999, 10'000'000,
                                      2'147'483'647, -2'147'483'647};
    if (Flip())
        return kEdges[Below(std::size(kEdges))];
    return Below(200'001) - 100'000;
}

namespace {

class SilentProgress final : public ProgressWindow {
public:
    void SetCaption(const std::string&) override {}
    void SetGroupText(const std::string&) override {}
    void SetPercent(int percent) override
    {
        if (percent < 0 || percent > 100)
            Fail("progress outside 0..100: " + std::to_string(percent));
    }
    void SetOkEnabled(bool) override {}
    void SetStatusText(const std::string&) override {}
    void End() override {}
};

} // namespace

Answer FuzzHost::Message(const std::string&, const std::string&, Buttons buttons, Icon, Owner)
{
    const bool other = choices && choices->Flip();
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return other ? Answer::Cancel : Answer::Ok;
    case Buttons::YesNo: return other ? Answer::No : Answer::Yes;
    // Retry would read the same bytes again: the answer would never change.
    case Buttons::RetryCancel: return Answer::Cancel;
    }
    return Answer::Ok;
}

std::shared_ptr<ProgressWindow> FuzzHost::StartProgressWindow()
{
    return std::make_shared<SilentProgress>();
}

Harness& Harness::Get()
{
    static Harness harness;
    return harness;
}

Harness::Harness() : ctx_(host_, settings_, texts_)
{
    // The real texts: some are formats the passes fill in.
    if (const std::string lan = FindLanguageFile("english.lan"); !lan.empty())
        texts_.LoadOnce(lan);
    // Some files are flushed to disk as a save is; in memory that costs
    // nothing, and a fuzzer runs the passes thousands of times a second.
    if (!std::getenv("TEMP") && ::access("/dev/shm", W_OK | X_OK) == 0)
        ::setenv("TEMP", "/dev/shm", 0);
    runFolder_ = MakeRunFolder();
    if (runFolder_.empty())
        Fail("no workspace folder");
    InitWorkspacePaths(ctx_.workspace, runFolder_);
    userFile_ = runFolder_ + "/user-file";
}

Harness::~Harness()
{
    RemoveRunFolder(runFolder_);
}

Context& Harness::Begin(std::string_view bytes, Choices* choices)
{
    DeleteWorkspaceFiles(ctx_.workspace);
    host_.choices = choices;
    ctx_.inputOrigins.clear();
    // The confirmations and the automatic stamp-line, on or off by the input.
    for (const char* name : {key::AskWhenSkipping, key::AskWhenLosing, key::StampAuto, key::StampPlace})
        settings_.DeleteSetting(name);
    if (choices) {
        for (const char* name : {key::AskWhenSkipping, key::AskWhenLosing})
            if (choices->Flip())
                settings_.WriteSetting(name, "1");
        if (choices->Flip()) {
            settings_.WriteSetting(key::StampAuto, "1");
            settings_.WriteSetting(key::StampPlace, std::to_string(choices->Below(5)));
        }
    }
    settings_.WriteSetting(key::StampBeginning, "Timed by Zentavo");
    settings_.WriteSetting(key::StampEnd, "| {1}{1}25 [0][0] 00:00:00:");
    std::FILE* f = std::fopen(userFile_.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
        Fail("cannot write the input file");
    return ctx_;
}

const InputFile* Harness::Take(InputMode mode)
{
    if (!TakeInput(ctx_, userFile_, ctx_.workspace.SourceInput, mode, input_, Owner::None))
        return nullptr;
    return &input_;
}

void Fail(const std::string& why)
{
    std::fprintf(stderr, "zentavo fuzz: %s\n", why.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string ReadWhole(const std::string& path)
{
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    char block[65536];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, f)) > 0;)
        bytes.append(block, got);
    std::fclose(f);
    return bytes;
}

std::span<const Target> Targets()
{
    static constexpr Target kTargets[] = {
        {"avi_info", FuzzAviInfo},     {"detect", FuzzDetect},        {"readers", FuzzReaders},
        {"operations", FuzzOperations}, {"round_trip", FuzzRoundTrip},
    };
    return kTargets;
}

} // namespace zv::fuzz

#include "engine/io/file_io.h"
#include "engine/formats/format_handler.h"
#include "fuzz/standard_file_check.h"

namespace zv::fuzz {

std::vector<Record> ReadBack(Context& ctx, SubtitleFormat format, const std::string& result, std::string_view what)
{
    const Workspace& ws = ctx.workspace;
    // Readers read from the WorkingCopy and write the HeaderFile: the result
    // goes aside first and the open file's header comes back after.
    const std::string saved = ws.folder + "/read-back";
    const std::string records = ws.folder + "/read-back.std";
    std::string header;
    const bool hadHeader = FileExists(ws.HeaderFile) && ReadWholeFile(ws.HeaderFile, header);
    if (!CopyFileOver(result, saved))
        Fail(std::string(what) + ": no result to read back");
    auto handler = MakeFormatHandler(ctx, format);
    const int read = handler->ReadSubtitleFile(saved, records);
    if (hadHeader)
        AtomicWriteFile(ws.HeaderFile, header);
    else
        RemoveFile(ws.HeaderFile);
    if (read != 0)
        Fail(std::string(what) + ": the " + std::string(FormatName(format)) + " result cannot be read back:\n" +
             ReadWhole(saved));
    return CheckedRecords(records, std::string(what) + ", read back");
}

} // namespace zv::fuzz
