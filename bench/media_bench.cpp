// Times the media library's read of a film (two decoders side by side, and
// one for comparison) against FFmpeg's own decoding of its sound, and
// reports the peak memory of the process.
//   zentavo-media-bench FILM
// Prints "name seconds" lines for run.sh, then the peak resident size.
#include "media/speech_reader.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double ProcessorSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto add = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return add(usage.ru_utime) + add(usage.ru_stime);
}

bool TimeRead(const std::string& film, int workers, double& seconds, double& processor)
{
    const double before = ProcessorSeconds(RUSAGE_SELF);
    zv::media::SpeechOptions options;
    options.workers = workers;
    const auto start = std::chrono::steady_clock::now();
    const zv::media::SpeechReading r = zv::media::ReadSpeech(film, options);
    seconds = Seconds(start);
    processor = ProcessorSeconds(RUSAGE_SELF) - before;
    if (r.status != zv::media::MediaStatus::Ok) {
        std::fprintf(stderr, "media-bench: %s\n", r.message.c_str());
        return false;
    }
    std::fprintf(stderr, "  %d worker(s): %zu steps, %zu speech runs\n", workers, r.signal.values.size(),
                 zv::media::SpeechRuns(r.signal).size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zentavo-media-bench FILM\n");
        return 2;
    }
    const std::string film = argv[1];
    {
        // Every contender reads the film from the page cache.
        std::ifstream in(film, std::ios::binary);
        std::vector<char> chunk(1 << 20);
        while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        }
    }
    double two = 0;
    double one = 0;
    double twoCpu = 0;
    double oneCpu = 0;
    if (!TimeRead(film, 2, two, twoCpu) || !TimeRead(film, 1, one, oneCpu))
        return 1;
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    const std::string command = "ffmpeg -nostdin -v error -i '" + film + "' -vn -f null -";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "media-bench: ffmpeg failed\n");
        return 1;
    }
    const double ffmpeg = Seconds(start);
    const double ffmpegCpu = ProcessorSeconds(RUSAGE_CHILDREN);
    // Wall and processor seconds of each.
    std::printf("read-two-workers %.2f %.2f\nread-one-worker %.2f %.2f\nffmpeg-decode %.2f %.2f\npeak-resident-mb %.0f\n",
                two, twoCpu, one, oneCpu, ffmpeg, ffmpegCpu, static_cast<double>(self.ru_maxrss) / 1024.0);
    return 0;
}
