// autosync --movie over films made from tests/data/media/harbour.srt, whose
// times are where each line is spoken: the subtitles and the films distorted
// as real pairs are (an offset, a frame-rate drift, lines missing, tags in
// the pauses, a noisy track, a scene taken out, breaks put in), the spoken
// lines' starts measured against the truth; and what is refused.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Line {
    double start = 0;
    double end = 0;
    std::string text;
};
using Lines = std::vector<Line>;

std::string SyncFilm(const std::string& name)
{
    return std::string(ZENTAVO_SYNC_FILMS) + "/" + name;
}

double Seconds(const std::string& clock)
{
    int h = 0, m = 0, s = 0, ms = 0;
    std::sscanf(clock.c_str(), "%d:%d:%d,%d", &h, &m, &s, &ms);
    return h * 3600.0 + m * 60.0 + s + ms / 1000.0;
}

Lines ReadSubRip(const std::string& path)
{
    Lines lines;
    std::ifstream in(path);
    std::string row;
    while (std::getline(in, row)) {
        if (!row.empty() && row.back() == '\r')
            row.pop_back();
        if (const auto arrow = row.find(" --> "); arrow != std::string::npos) {
            lines.push_back({Seconds(row.substr(0, arrow)), Seconds(row.substr(arrow + 5)), ""});
        } else if (!row.empty() && !lines.empty() && lines.back().text.empty()) {
            lines.back().text = row;
        }
    }
    return lines;
}

std::string Clock(double seconds)
{
    const long ms = std::lround(seconds * 1000);
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld,%03ld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return text;
}

std::string SubRip(const Lines& lines)
{
    std::ostringstream out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out << i + 1 << "\r\n" << Clock(lines[i].start) << " --> " << Clock(lines[i].end) << "\r\n"
            << lines[i].text << "\r\n\r\n";
    return out.str();
}

// Each line's times through f.
Lines Moved(const Lines& lines, const std::function<double(double)>& f)
{
    Lines moved = lines;
    for (Line& l : moved) {
        l.start = f(l.start);
        l.end = f(l.end);
    }
    return moved;
}

// Pairs of numbers, one pair a line.
std::vector<std::pair<double, double>> Pairs(const std::string& name)
{
    std::vector<std::pair<double, double>> pairs;
    std::ifstream in(SyncFilm(name));
    double a = 0, b = 0;
    while (in >> a >> b)
        pairs.emplace_back(a, b);
    return pairs;
}

struct SyncRun {
    int exit = -1;
    std::string err;
    bool written = false;
    Lines out;
};

// One zentavo-cli autosync call in a scratch folder of its own.
SyncRun AutoSync(const Lines& subtitles, const std::string& arguments)
{
    const fs::path dir = fs::temp_directory_path() / ("zentavo-movie-sync-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ofstream(dir / "in.srt", std::ios::binary) << SubRip(subtitles);
    const std::string command = std::string(ZENTAVO_CLI_PATH) + " autosync '" + (dir / "in.srt").string() + "' " +
                                arguments + " -o '" + (dir / "out.srt").string() + "' 2>'" +
                                (dir / "err.txt").string() + "'";
    SyncRun run;
    run.exit = WEXITSTATUS(std::system(command.c_str()));
    std::ifstream err(dir / "err.txt");
    run.err.assign(std::istreambuf_iterator<char>(err), std::istreambuf_iterator<char>());
    run.written = fs::exists(dir / "out.srt");
    if (run.written)
        run.out = ReadSubRip((dir / "out.srt").string());
    fs::remove_all(dir);
    return run;
}

const Lines& Truth()
{
    static const Lines truth = ReadSubRip(ZENTAVO_SYNC_SUBTITLES);
    return truth;
}

struct Distortion {
    const char* name;
    const char* film;
    std::function<Lines(const Lines&)> subtitles;
};

TEST(MovieSync, LinesTheSpokenLinesUpWithTheFilm)
{
    const auto cut = Pairs("cut.txt");
    const auto breaks = Pairs("breaks.txt");
    ASSERT_EQ(cut.size(), 1u);
    ASSERT_EQ(breaks.size(), 2u);
    const auto shifted = [](double by) {
        return [by](const Lines& l) { return Moved(l, [by](double t) { return t + by; }); };
    };
    const Distortion distortions[] = {
        {"offset", "clean.mkv", shifted(7.3)},
        {"25 -> 23.976 drift", "clean.mkv", [](const Lines& l) {
             return Moved(l, [](double t) { return t * 25 / 23.976 + 1; });
         }},
        {"every seventh line missing", "clean.mkv",
         [&](const Lines& l) {
             Lines kept;
             for (std::size_t i = 0; i < l.size(); ++i)
                 if ((i + 1) % 7 != 0)
                     kept.push_back(l[i]);
             return shifted(3)(kept);
         }},
        {"tags in the pauses", "clean.mkv",
         [&](const Lines& l) {
             Lines tagged;
             for (std::size_t i = 0; i < l.size(); ++i) {
                 tagged.push_back(l[i]);
                 if (i % 3 == 0 && i + 1 < l.size() && l[i + 1].start - l[i].end > 1.5)
                     tagged.push_back({l[i].end + 0.2, l[i].end + 0.8, i % 2 ? "[music]" : "[door slams]"});
             }
             return shifted(5)(tagged);
         }},
        {"noisy track, 10 dB", "noisy.mkv", shifted(4)},
        {"a scene taken out", "cut.mkv", shifted(2)},
        {"two breaks put in", "breaks.mkv", shifted(-1.5)},
    };
    // Where a line of the truth is spoken in the film; false when its
    // scene was taken out.
    const auto inFilm = [&](const std::string& film, double t, double& at) {
        at = t;
        if (film == "cut.mkv") {
            if (t >= cut[0].first && t < cut[0].second)
                return false;
            if (t >= cut[0].second)
                at -= cut[0].second - cut[0].first;
        } else if (film == "breaks.mkv") {
            for (const auto& [where, length] : breaks)
                if (t > where)
                    at += length;
        }
        return true;
    };
    std::map<std::string, double> spokenAt;
    for (const Line& l : Truth())
        spokenAt[l.text] = l.start;

    for (const Distortion& d : distortions) {
        SCOPED_TRACE(d.name);
        const Lines given = d.subtitles(Truth());
        const SyncRun run = AutoSync(given, "--movie '" + SyncFilm(d.film) + "'");
        ASSERT_EQ(run.exit, 0) << run.err;
        ASSERT_EQ(run.out.size(), given.size()); // tags kept, moved with their stretch
        std::vector<double> errors;
        for (const Line& l : run.out) {
            double at = 0;
            if (spokenAt.count(l.text) && inFilm(d.film, spokenAt[l.text], at))
                errors.push_back(std::fabs(l.start - at));
        }
        ASSERT_GE(errors.size(), 15u);
        std::sort(errors.begin(), errors.end());
        EXPECT_LE(errors[errors.size() / 2], 0.15) << run.err;
        EXPECT_LE(errors[errors.size() * 95 / 100], 0.4) << run.err;
    }
}

TEST(MovieSync, RefusesWhatDoesNotFitOrCannotBeRead)
{
    // Another film's subtitles: the same lines, spoken at other moments.
    Lines other = Truth();
    double t = 1;
    for (std::size_t i = 0; i < other.size(); ++i) {
        other[i].start = t;
        other[i].end = t + 2.5;
        t += 3.2 + static_cast<double>((i * 7919) % 35) / 10;
    }
    const std::string missing = SyncFilm("no-such-film.mkv");
    const std::string noSound = std::string(ZENTAVO_MEDIA_FILMS) + "/silent.mkv";
    struct Case {
        const char* name;
        Lines subtitles;
        std::string arguments;
        int exit;
        const char* says;
    } const cases[] = {
        {"another film", other, "--movie '" + SyncFilm("clean.mkv") + "'", 1, "does not fit"},
        {"another film, a cut", other, "--movie '" + SyncFilm("breaks.mkv") + "'", 1, "does not fit"},
        {"missing film", Truth(), "--movie '" + missing + "'", 1, "This file cannot be opened."},
        {"no sound", Truth(), "--movie '" + noSound + "'", 1, "This film has no sound track."},
        {"no such track", Truth(), "--movie '" + SyncFilm("clean.mkv") + "' --audio-track 2", 1,
         "no sound track with that number"},
        {"not a film", Truth(), "--movie '" + std::string(ZENTAVO_SYNC_SUBTITLES) + "'", 1, "not a film"},
        {"both references", Truth(), "--movie '" + SyncFilm("clean.mkv") + "' --reference x.srt", 2, "exclude"},
        {"a track without a film", Truth(), "--reference x.srt --audio-track 1", 2, "needs --movie"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SyncRun run = AutoSync(c.subtitles, c.arguments);
        EXPECT_EQ(run.exit, c.exit) << run.err;
        EXPECT_FALSE(run.written);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
}

// A film cut short, as an interrupted download leaves it: the part that
// decoded is said and used, and the subtitles past it keep the offset before
// them rather than jumping to where they happen to meet speech.
TEST(MovieSync, GoesOnWithTheReadablePartOfADamagedFilm)
{
    const fs::path half = fs::temp_directory_path() / ("zentavo-half-" + std::to_string(::getpid()) + ".mkv");
    {
        std::ifstream film(SyncFilm("clean.mkv"), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(film)), std::istreambuf_iterator<char>());
        std::ofstream(half, std::ios::binary) << bytes.substr(0, bytes.size() * 2 / 3);
    }
    const SyncRun run = AutoSync(Moved(Truth(), [](double t) { return t + 6; }), "--movie '" + half.string() + "'");
    fs::remove(half);
    ASSERT_EQ(run.exit, 0) << run.err;
    EXPECT_NE(run.err.find("percent of it could be read"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("cut at"), std::string::npos) << run.err;
    ASSERT_EQ(run.out.size(), Truth().size());
    for (std::size_t i = 0; i < run.out.size(); ++i)
        EXPECT_NEAR(run.out[i].start, Truth()[i].start, 0.4) << i;
}

} // namespace
