// The engine passes behind the command-line timings, without process start-up
// or file delivery: reading, converting, shifting and sorting 50,000 subtitles.
#include "subtitle_generator.h"

#include "cli/console_host.h"
#include "engine/operations/convert.h"
#include "engine/io/file_io.h"
#include "engine/formats/format_handler.h"
#include "engine/config/language.h"
#include "engine/operations/autosync.h"
#include "engine/operations/move_time.h"
#include "engine/operations/repair.h"
#include "engine/config/settings.h"
#include "engine/io/workspace.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// One workspace with a file of the given format read into its SourceStandardFile.
struct Bench {
    Bench(zv::SubtitleFormat format, long count, bool reversed) : ctx(host, settings, texts)
    {
        folder = zv::MakeRunFolder();
        zv::InitWorkspacePaths(ctx.workspace, folder);
        source = folder + "/source";
        zv::AtomicWriteFile(source, zv::bench::GenerateSubtitles(zv::FormatName(format), count, reversed));
        bool ok = false;
        handler = zv::OpenFormatHandler(ctx, format, source, ok);
        if (!ok)
            handler.reset();
    }
    ~Bench() { zv::RemoveRunFolder(folder); }

    zv::cli::ConsoleHost host;
    zv::MemorySettings settings;
    zv::LanguageTexts texts;
    zv::Context ctx;
    std::string folder;
    std::string source;
    std::unique_ptr<zv::FormatHandler> handler;
};

void ReadSubRip(benchmark::State& state)
{
    Bench b(zv::SubtitleFormat::SubRip, state.range(0), false);
    for (auto _ : state) {
        bool ok = false;
        auto handler = zv::OpenFormatHandler(b.ctx, zv::SubtitleFormat::SubRip, b.source, ok);
        benchmark::DoNotOptimize(ok);
    }
}

void ConvertSubRipToMicroDvd(benchmark::State& state)
{
    Bench b(zv::SubtitleFormat::SubRip, state.range(0), false);
    const std::string target = b.folder + "/target";
    for (auto _ : state) {
        const auto outcome =
            zv::ConvertFile(b.ctx, zv::SubtitleFormat::SubRip, zv::SubtitleFormat::MicroDvd, 25.0,
                            zv::SsaStyleSettings::Defaults(), target, zv::WriteOptions{}, zv::Owner::None);
        benchmark::DoNotOptimize(outcome);
    }
}

void ShiftStandardFile(benchmark::State& state)
{
    Bench b(zv::SubtitleFormat::SubRip, state.range(0), false);
    for (auto _ : state)
        zv::ShiftStandardFile(b.ctx, b.ctx.workspace.SourceStandardFile, b.ctx.workspace.OutputStandardFile, 50);
}

void SortRecords(benchmark::State& state, bool reversed)
{
    Bench b(zv::SubtitleFormat::MicroDvd, state.range(0), reversed);
    for (auto _ : state)
        zv::SortRecords(b.ctx, b.ctx.workspace.SourceStandardFile, b.ctx.workspace.OutputStandardFile);
}

// A two-hour film's subtitles: lines of 1 to 5 seconds, pauses of a fraction
// of a second to half a minute.
std::vector<zv::SpeechSpan> FilmSpeech(unsigned seed, long count)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> length(1.0, 5.0);
    std::exponential_distribution<double> pause(1.0 / 1.7);
    std::vector<zv::SpeechSpan> spans;
    double t = 30;
    for (long i = 0; i < count; ++i) {
        const double start = t;
        t += length(random);
        spans.push_back({start, t});
        t += 0.1 + std::min(pause(random), 30.0);
    }
    return spans;
}

// A Polish file of the same film, timed for 25 fps and starting 42 s late,
// against a correctly timed reference: the whole search, every candidate
// ratio over offsets of an hour either way.
void FindTimeMap(benchmark::State& state)
{
    const std::vector<zv::SpeechSpan> reference = FilmSpeech(7, state.range(0));
    std::vector<zv::SpeechSpan> target;
    for (std::size_t i = 0; i < reference.size(); ++i)
        if (i % 7 != 3)
            target.push_back({(reference[i].start - 42) * 0.959, (reference[i].end - 42) * 0.959});
    for (auto _ : state) {
        const zv::TimeMapFinding finding = zv::FindTimeMap(target, reference);
        benchmark::DoNotOptimize(finding.score);
    }
}

BENCHMARK(FindTimeMap)->Arg(1'500)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadSubRip)->Arg(50'000)->Unit(benchmark::kMillisecond);
BENCHMARK(ConvertSubRipToMicroDvd)->Arg(50'000)->Unit(benchmark::kMillisecond);
BENCHMARK(ShiftStandardFile)->Arg(50'000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortRecords, sorted, false)->Arg(50'000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortRecords, reversed, true)->Arg(50'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
