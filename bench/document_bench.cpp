// A very large file in a document window: a SubRip file of 1,000,000 lines
// (86 MB) read into the window's list, drawn, and drawn again at its end, in
// UTF-8 and in Windows-1250. Reports the peak resident set size of the
// process so far; run one case alone under /usr/bin/time -v for its own.
#include "app/document_model.h"
#include "app/document_window.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>

#include <sys/resource.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr long kLines = 1000000;

// Writes kLines lines of a SubRip file, about 86 bytes a line, streamed so
// that the benchmark's own memory stays small. The text rows carry Polish
// letters in the encoding asked for.
std::string WriteLargeFile(bool cp1250)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/zv-document-bench-" +
                       (cp1250 ? "cp1250" : "utf8") + "-" + std::to_string(::getpid()) + ".srt";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return {};
    const char* polish = cp1250 ? "Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1"
                                : "Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87 g\xc4\x99\xc5\x9bl\xc4\x85 ja\xc5\xba\xc5\x84";
    // Five lines a subtitle: its number, its times, two rows and a blank line.
    const char* const second = "- And the next row of this subtitle, a little shorter than the first one, as "
                               "it often is in a film, where the second speaker only answers, and then says "
                               "nothing more for a while, not even when she asks him why.";
    for (long n = 1; n <= kLines / 5; ++n) {
        const long s = n * 3;
        std::fprintf(f, "%ld\r\n%02ld:%02ld:%02ld,000 --> %02ld:%02ld:%02ld,500\r\n", n, s / 3600, s / 60 % 60, s % 60,
                     (s + 2) / 3600, (s + 2) / 60 % 60, (s + 2) % 60);
        std::fprintf(f, "- %s, I never thought we would see the sea again, Anna said quietly, put the old letters "
                        "back into the drawer and left the room %ld. She did not look back."
                        "\r\n%s\r\n\r\n",
                     polish, n, second);
    }
    std::fclose(f);
    return path;
}

long PeakResidentKilobytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void ShowLargeFile(benchmark::State& state, bool cp1250)
{
    const std::string path = WriteLargeFile(cp1250);
    if (path.empty()) {
        state.SkipWithError("cannot write the file");
        return;
    }
    const std::string encoding = cp1250 ? "Windows-1250" : "UTF-8";
    for (auto _ : state) {
        // The list as a document window holds it: read, then drawn at the
        // top and at the end, as a user scrolling down would see it.
        zv::app::DocumentList list(nullptr, [](const QPoint&) {});
        list.resize(700, 900);
        if (!list.lines()->Load(path, encoding)) {
            state.SkipWithError("cannot read the file");
            break;
        }
        list.show();
        list.repaint();
        list.setCurrentRow(list.count() - 1);
        list.scrollToBottom();
        list.repaint();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(list.text(list.count() - 1));
    }
    std::remove(path.c_str());
    state.counters["lines"] = static_cast<double>(kLines);
    state.counters["peak_rss_MB"] = static_cast<double>(PeakResidentKilobytes()) / 1024.0;
}

void ShowUtf8(benchmark::State& state) { ShowLargeFile(state, false); }
void ShowWindows1250(benchmark::State& state) { ShowLargeFile(state, true); }

BENCHMARK(ShowUtf8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(ShowWindows1250)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    // Drawn off screen: no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
