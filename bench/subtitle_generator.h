// The benchmarks' input: large subtitle files, the same bytes every time.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace zv::bench {

namespace detail {

struct Times {
    long start; // tenths of a second
    long end;
};

inline void Clock(std::string& out, long tenths, bool twoDigitHours)
{
    char buffer[32];
    const long h = tenths / 36000, m = tenths / 600 % 60, s = tenths / 10 % 60;
    std::snprintf(buffer, sizeof buffer, twoDigitHours ? "%02ld:%02ld:%02ld" : "%ld:%02ld:%02ld", h, m, s);
    out += buffer;
}

// The text of subtitle i: one or two rows, lengths varying the way real
// dialogue does, never a digit first (so no row looks like a time line).
inline std::string Rows(long i, std::string_view separator)
{
    static const char* const words[] = {"well", "I", "never", "thought", "we", "would", "see", "the", "sea",
                                        "again", "Anna", "said", "quietly", "and", "left", "room"};
    std::string text = "Line";
    const long n = 3 + (i * 7) % 9;
    for (long k = 0; k < n; ++k) {
        text += ' ';
        text += words[(i * 13 + k * 5) % 16];
    }
    if (i % 3 != 0) {
        text += separator;
        text += "- and the next row ";
        text += std::to_string(i);
    }
    return text;
}

// Appends the pieces one by one (no temporary strings joined in front).
template <typename... Pieces>
void Append(std::string& out, const Pieces&... pieces)
{
    (out.append(pieces), ...);
}

} // namespace detail


// count subtitles in the format named as the command line names it; with
// reversed the subtitles come in falling order of their times (a sort's worst
// case) while entry numbers of the block formats still count up. Empty for an
// unknown format.
inline std::string GenerateSubtitles(std::string_view format, long count, bool reversed)
{
    using namespace detail;
    // Formats with one-digit hours hold 10 hours; the others 100. The
    // subtitles are spread to fit, at most 3 s apart.
    const bool shortHours = format == "tmplayer-short" || format == "ssa";
    const long room = (shortHours ? 9 : 99) * 36000L;
    long step = room / (count + 1);
    if (step > 30)
        step = 30;
    if (step < 2)
        step = 2;

    std::string out;
    if (format == "subviewer1")
        out += "[TITLE]\r\nBenchmark\r\n[AUTHOR]\r\n\r\n[SOURCE]\r\n\r\n[PRG]\r\n\r\n[FILEPATH]\r\n\r\n[DELAY]\r\n0\r\n"
               "[CD TRACK]\r\n0\r\n[BEGIN]\r\n******** START SCRIPT ********\r\n";
    else if (format == "subviewer2")
        out += "[INFORMATION]\r\n[TITLE]Benchmark\r\n[AUTHOR]\r\n[SOURCE]\r\n[PRG]\r\n[FILEPATH]\r\n[DELAY]0\r\n"
               "[CD TRACK]0\r\n[COMMENT]\r\n[END INFORMATION]\r\n[SUBTITLE]\r\n[COLF]&HFFFFFF,[STYLE]no,[SIZE]18,"
               "[FONT]Arial\r\n";
    else if (format == "ssa")
        out += "[Script Info]\r\nTitle: Benchmark\r\nScriptType: v4.00\r\nPlayResY: 304\r\n\r\n[V4 Styles]\r\n"
               "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, TertiaryColour, BackColour, "
               "Bold, Italic, BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, AlphaLevel, "
               "Encoding\r\nStyle: NORMAL,Arial,28,16777215,65535,65535,0,1,0,1,3,0,2,30,30,10,0,238\r\n\r\n"
               "[Events]\r\nFormat: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";
    else if (format != "subrip" && format != "microdvd" && format != "mpl2" && format != "tmplayer" &&
             format != "tmplayer-short") {
        return {};
    }

    char buffer[128];
    for (long n = 0; n < count; ++n) {
        const long i = reversed ? count - 1 - n : n;
        const Times t{10 + i * step, 10 + i * step + step * 2 / 3};
        if (format == "microdvd") {
            // 25 frames per second.
            std::snprintf(buffer, sizeof buffer, "{%ld}{%ld}", t.start * 5 / 2, t.end * 5 / 2);
            Append(out, buffer, Rows(i, "|"), "\r\n");
        } else if (format == "mpl2") {
            std::snprintf(buffer, sizeof buffer, "[%ld][%ld]", t.start, t.end);
            Append(out, buffer, Rows(i, "|"), "\r\n");
        } else if (format == "tmplayer" || format == "tmplayer-short") {
            Clock(out, t.start, format == "tmplayer");
            Append(out, ":", Rows(i, "|"), "\r\n");
        } else if (format == "subrip") {
            out += std::to_string(n + 1) + "\r\n";
            Clock(out, t.start, true);
            std::snprintf(buffer, sizeof buffer, ",%03ld --> ", t.start % 10 * 100);
            out += buffer;
            Clock(out, t.end, true);
            std::snprintf(buffer, sizeof buffer, ",%03ld\r\n", t.end % 10 * 100);
            Append(out, buffer, Rows(i, "\r\n"), "\r\n\r\n");
        } else if (format == "subviewer1") {
            out += "[";
            Clock(out, t.start, true);
            Append(out, "]\r\n", Rows(i, "|"), "\r\n");
        } else if (format == "subviewer2") {
            Clock(out, t.start, true);
            std::snprintf(buffer, sizeof buffer, ".%02ld,", t.start % 10 * 10);
            out += buffer;
            Clock(out, t.end, true);
            std::snprintf(buffer, sizeof buffer, ".%02ld\r\n", t.end % 10 * 10);
            Append(out, buffer, Rows(i, "[br]"), "\r\n\r\n");
        } else { // ssa
            out += "Dialogue: Marked=0,";
            Clock(out, t.start, false);
            std::snprintf(buffer, sizeof buffer, ".%02ld,", t.start % 10 * 10);
            out += buffer;
            Clock(out, t.end, false);
            std::snprintf(buffer, sizeof buffer, ".%02ld,NORMAL,NTP,0000,0000,0000,!Effect,", t.end % 10 * 10);
            Append(out, buffer, Rows(i, "\\N"), "\r\n");
        }
    }
    if (format == "subviewer1")
        out += "[END]\r\n******** End Script ********\r\n";
    return out;
}

} // namespace zv::bench
