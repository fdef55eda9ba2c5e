// The media library over films made from tests/data/media/dialogue.srt: the
// tracks a film lists, how well the detector finds the spoken lines in
// clean and noisy sound, and what bad input and cancellation give.
#include "media/audio_tracks.h"
#include "media/speech_reader.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zv::media {
namespace {

namespace fs = std::filesystem;

std::string Film(const std::string& name)
{
    return std::string(ZENTAVO_MEDIA_FILMS) + "/" + name;
}

std::vector<SpeechRun> Truth()
{
    std::vector<SpeechRun> truth;
    std::ifstream in(Film("truth.txt"));
    SpeechRun run;
    while (in >> run.start >> run.end)
        truth.push_back(run);
    return truth;
}

// The share of 10 ms steps where the signal and the spoken lines agree.
double FrameAccuracy(const SpeechSignal& signal, const std::vector<SpeechRun>& truth)
{
    std::size_t agree = 0;
    for (std::size_t i = 0; i < signal.values.size(); ++i) {
        const double t = (static_cast<double>(i) + 0.5) * signal.step;
        bool spoken = false;
        for (const SpeechRun& r : truth)
            spoken = spoken || (t >= r.start && t < r.end);
        agree += (signal.values[i] >= 0.5f) == spoken ? 1 : 0;
    }
    return signal.values.empty() ? 0.0 : static_cast<double>(agree) / static_cast<double>(signal.values.size());
}

// The first half of a film's bytes, as an interrupted download leaves it.
std::string HalfOf(const std::string& name)
{
    std::ifstream film(Film(name), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(film)), std::istreambuf_iterator<char>());
    return bytes.substr(0, bytes.size() / 2);
}

// A scratch folder of this test's own.
struct Scratch {
    Scratch() : path(fs::temp_directory_path() / ("zentavo-media-" + std::to_string(::getpid()))) { fs::create_directories(path); }
    ~Scratch() { fs::remove_all(path); }
    std::string File(const std::string& name, const std::string& bytes) const
    {
        const fs::path p = path / name;
        std::ofstream(p, std::ios::binary) << bytes;
        return p.string();
    }
    fs::path path;
};

TEST(AudioTracks, ListsEveryTrackInFileOrderWithItsTags)
{
    for (const char* name : {"dialogue.mkv", "dialogue.mp4"}) {
        SCOPED_TRACE(name);
        const TrackListing listing = ListAudioTracks(Film(name));
        ASSERT_EQ(listing.status, MediaStatus::Ok) << listing.message;
        ASSERT_EQ(listing.tracks.size(), 3u);
        const struct {
            const char* language;
            const char* title;
        } expected[] = {{"eng", "Clean dialogue"}, {"pol", "Under music, 10 dB"}, {"deu", "Under music, 0 dB"}};
        for (std::size_t i = 0; i < 3; ++i) {
            const AudioTrack& t = listing.tracks[i];
            EXPECT_EQ(t.number, static_cast<int>(i) + 1);
            EXPECT_EQ(t.streamIndex, static_cast<int>(i) + 1); // the picture comes first
            EXPECT_EQ(t.codec, std::string(name).ends_with("mkv") ? "opus" : "aac");
            EXPECT_EQ(t.channels, 2);
            EXPECT_EQ(t.sampleRate, 48000);
            EXPECT_EQ(t.language, expected[i].language);
            EXPECT_EQ(t.title, expected[i].title);
            EXPECT_NEAR(t.duration, Truth().back().end + 3, 1.0);
        }
    }
}

// Thresholds sit a few points under what the detector measured (README).
TEST(SpeechReader, FindsTheSpokenLinesInCleanAndNoisySound)
{
    const struct {
        const char* film;
        int track;
        SpeechDetector detector;
        double least;
    } cases[] = {
        {"dialogue.mkv", 1, SpeechDetector::Spectral, 0.93},
        {"dialogue.mkv", 2, SpeechDetector::Spectral, 0.89},
        {"dialogue.mkv", 3, SpeechDetector::Spectral, 0.76},
        {"dialogue.mp4", 1, SpeechDetector::Spectral, 0.93},
        {"dialogue.mp4", 2, SpeechDetector::Spectral, 0.89},
        {"dialogue.mp4", 3, SpeechDetector::Spectral, 0.76},
        {"dialogue.wav", 1, SpeechDetector::Spectral, 0.93},
        // WebRTC's detector takes the music for speech; in clean sound it
        // must still find the lines.
        {"dialogue.mkv", 1, SpeechDetector::WebRtc, 0.93},
    };
    const std::vector<SpeechRun> truth = Truth();
    for (const auto& c : cases) {
        SpeechOptions options;
        options.track = c.track;
        options.detector = c.detector;
        const SpeechReading r = ReadSpeech(Film(c.film), options);
        ASSERT_EQ(r.status, MediaStatus::Ok) << r.message;
        const double accuracy = FrameAccuracy(r.signal, truth);
        std::printf("%s track %d %s: %.1f%% of steps right\n", c.film, c.track,
                    c.detector == SpeechDetector::WebRtc ? "webrtc" : "spectral", accuracy * 100);
        EXPECT_GE(accuracy, c.least) << c.film << " track " << c.track;
        EXPECT_EQ(r.track, c.track);
        EXPECT_NEAR(r.signal.Duration(), r.duration, 0.5);
    }
}

// The second decoder starts in the middle: its steps must line up with the
// first's, as one decoder reading the whole film gives them.
TEST(SpeechReader, TwoHalvesStitchAsOneReading)
{
    SpeechOptions one;
    one.workers = 1;
    const SpeechReading whole = ReadSpeech(Film("dialogue.mkv"), one);
    const SpeechReading halves = ReadSpeech(Film("dialogue.mkv"));
    ASSERT_EQ(whole.status, MediaStatus::Ok);
    ASSERT_EQ(halves.status, MediaStatus::Ok);
    ASSERT_NEAR(static_cast<double>(halves.signal.values.size()), static_cast<double>(whole.signal.values.size()), 2);
    const std::vector<SpeechRun> a = SpeechRuns(whole.signal);
    const std::vector<SpeechRun> b = SpeechRuns(halves.signal);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_NEAR(a[i].start, b[i].start, 0.03);
        EXPECT_NEAR(a[i].end, b[i].end, 0.03);
    }
}

// A WAV header naming a codec nobody decodes, over a second of silence.
std::string WavOfUnknownCodec()
{
    std::string wav = "RIFF....WAVEfmt ";
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            wav += static_cast<char>((value >> (8 * i)) & 0xff);
    };
    put(16, 4);
    put(0x7777, 2); // the format tag
    put(1, 2);
    put(8000, 4);
    put(16000, 4);
    put(2, 2);
    put(16, 2);
    wav += "data";
    put(16000, 4);
    wav += std::string(16000, '\0');
    return wav;
}

TEST(SpeechReader, BadInputGivesItsStatusAndNoSignal)
{
    Scratch scratch;
    const MediaStatus Ok = MediaStatus::Ok;
    const struct {
        std::string path;
        int track;
        MediaStatus status;
        MediaStatus listed; // what ListAudioTracks says of the file
    } cases[] = {
        {scratch.File("notes.txt", "Not a film at all.\nJust two lines of text.\n"), 0, MediaStatus::NotMedia,
         MediaStatus::NotMedia},
        {scratch.File("empty.mkv", ""), 0, MediaStatus::Empty, MediaStatus::Empty},
        {scratch.File("noise.mkv", std::string(4096, '\x5a')), 0, MediaStatus::NotMedia, MediaStatus::NotMedia},
        {(scratch.path / "missing.mkv").string(), 0, MediaStatus::CannotOpen, MediaStatus::CannotOpen},
        {scratch.path.string(), 0, MediaStatus::CannotOpen, MediaStatus::CannotOpen},
        {Film("silent.mkv"), 0, MediaStatus::NoAudio, MediaStatus::NoAudio},
        {Film("dialogue.mkv"), 4, MediaStatus::NoSuchTrack, Ok},
        {Film("dialogue.mp4"), -1, MediaStatus::NoSuchTrack, Ok},
        {scratch.File("odd.wav", WavOfUnknownCodec()), 0, MediaStatus::CannotDecode, Ok},
        // MP4 keeps its index at the end: cut short, it is no film at all.
        {scratch.File("cut.mp4", HalfOf("dialogue.mp4")), 0, MediaStatus::NotMedia, MediaStatus::NotMedia},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        SpeechOptions options;
        options.track = c.track;
        const SpeechReading r = ReadSpeech(c.path, options);
        EXPECT_EQ(r.status, c.status) << r.message;
        EXPECT_FALSE(r.message.empty());
        EXPECT_TRUE(r.signal.values.empty());
        EXPECT_EQ(ListAudioTracks(c.path).status, c.listed);
    }
}

// A film cut short reads as far as it goes and says how far that was.
TEST(SpeechReader, TruncatedFilmGivesWhatDecoded)
{
    Scratch scratch;
    const SpeechReading r = ReadSpeech(scratch.File("cut.mkv", HalfOf("dialogue.mkv")));
    ASSERT_EQ(r.status, MediaStatus::Damaged) << r.message;
    EXPECT_GT(r.decoded, r.duration * 0.3);
    EXPECT_LT(r.decoded, r.duration * 0.7);
    EXPECT_NEAR(r.signal.Duration(), r.decoded, 1.0);
    EXPECT_FALSE(SpeechRuns(r.signal).empty());
}

TEST(SpeechReader, CancellingStopsWithoutASignal)
{
    std::atomic<bool> cancel{true};
    SpeechOptions flagged;
    flagged.cancel = &cancel;
    SpeechOptions refused;
    refused.progress = [](int) { return false; };
    for (const SpeechOptions* options : {&flagged, &refused}) {
        const SpeechReading r = ReadSpeech(Film("dialogue.mp4"), *options);
        EXPECT_EQ(r.status, MediaStatus::Cancelled);
        EXPECT_TRUE(r.signal.values.empty());
    }
}

TEST(SpeechReader, ProgressRisesToAHundred)
{
    std::vector<int> seen;
    SpeechOptions options;
    options.progress = [&](int percent) {
        seen.push_back(percent);
        return true;
    };
    ASSERT_EQ(ReadSpeech(Film("dialogue.mkv"), options).status, MediaStatus::Ok);
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
}

TEST(SpeechSignal, RunsBridgeShortGapsAndDropShortBursts)
{
    const struct {
        std::vector<float> values;
        std::vector<SpeechRun> runs;
    } cases[] = {
        {{}, {}},
        {{0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}, {{0.01, 0.11}}},
        // A gap under 0.2 s joins; a burst under 0.1 s goes.
        {std::vector<float>(20, 1.0f), {{0, 0.2}}},
        {{1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.6f}, {}},
    };
    for (const auto& c : cases) {
        SpeechSignal signal;
        signal.values = c.values;
        const std::vector<SpeechRun> runs = SpeechRuns(signal);
        ASSERT_EQ(runs.size(), c.runs.size());
        for (std::size_t i = 0; i < runs.size(); ++i) {
            EXPECT_NEAR(runs[i].start, c.runs[i].start, 1e-9);
            EXPECT_NEAR(runs[i].end, c.runs[i].end, 1e-9);
        }
    }
}

TEST(AudioTracksCommand, PrintsOneLinePerTrackOrFails)
{
    const struct {
        std::string film;
        int exit;
        std::string output;
    } cases[] = {
        {Film("dialogue.mp4"), 0,
         "1 eng aac 2 48000 Clean dialogue\n2 pol aac 2 48000 Under music, 10 dB\n"
         "3 deu aac 2 48000 Under music, 0 dB\n"},
        {Film("silent.mkv"), 1, ""},
    };
    for (const auto& c : cases) {
        const std::string command = std::string(ZENTAVO_CLI_PATH) + " audio-tracks '" + c.film + "' 2>/dev/null";
        FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char chunk[256];
        while (const std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe))
            output.append(chunk, n);
        const int status = ::pclose(pipe);
        EXPECT_EQ(WEXITSTATUS(status), c.exit) << c.film;
        EXPECT_EQ(output, c.output);
    }
}

} // namespace
} // namespace zv::media
