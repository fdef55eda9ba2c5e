// The same three subtitles written in every format and converted into every
// other one: what comes back is the content less the losses the two formats
// bring, named per format in the table below.
#include "engine/operations/convert.h"
#include "engine/io/file_io.h"
#include "engine/standard_file.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

namespace zv::test {
namespace {

struct FormatLosses {
    SubtitleFormat format;
    const char* name;
    bool keepsEnds;       // otherwise every end comes back as 0
    bool wholeSeconds;    // tenths of a second are cut
    bool countsFrames;    // times pass through frames at 25 fps
    bool upToNineHours;   // later subtitles are dropped
    bool spacedBreaks;    // a line break comes back as " |"
    bool needsEnds;       // a missing end is written as the next start, or 3 s after the last start
};

const FormatLosses kFormats[] = {
    {SubtitleFormat::TmPlayer, "TmPlayer", false, true, false, false, false, false},
    {SubtitleFormat::TmPlayerShort, "TmPlayerShort", false, true, false, true, false, false},
    {SubtitleFormat::MicroDvd, "MicroDvd", true, false, true, false, false, false},
    {SubtitleFormat::Mpl2, "Mpl2", true, false, false, false, false, false},
    {SubtitleFormat::SubRip, "SubRip", true, false, false, false, false, true},
    {SubtitleFormat::SubViewer1, "SubViewer1", false, true, false, false, false, false},
    {SubtitleFormat::Ssa, "Ssa", true, false, false, true, true, true},
    {SubtitleFormat::SubViewer2, "SubViewer2", true, false, false, false, false, true},
};

// Each subtitle with the values it takes after each kind of loss, in tenths
// of a second or (frames) at 25 fps.
struct Subtitle {
    long start, end;
    long wholeStart;            // cut to whole seconds
    long frameStart, frameEnd;  // as frames
    long wholeFrameStart;       // whole seconds, then frames
    long backStart, backEnd;    // to frames and back to tenths
    long backWholeStart;        // to frames, back, cut to whole seconds
    bool beyondNineHours;
    const char* text;
    const char* spacedText;
};

const Subtitle kContent[] = {
    {125, 213, 120, 312, 532, 300, 124, 212, 120, false, "Hello|World", "Hello |World"},
    {300, 345, 300, 750, 862, 750, 300, 344, 300, false, "Second", "Second"},
    {360010, 361253, 360010, 900025, 903132, 900025, 360010, 361252, 360010, true, "Ten hours", "Ten hours"},
};

class RoundTripTest : public EngineTest,
                      public ::testing::WithParamInterface<std::tuple<FormatLosses, FormatLosses>> {};

std::string Expected(const FormatLosses& s, const FormatLosses& t)
{
    struct Row {
        long start;
        long end;
        bool dropped; // by the target's writer
        std::string text;
    };
    std::vector<Row> rows; // the records the target's writer gets
    const bool whole = s.wholeSeconds || t.wholeSeconds;
    for (const Subtitle& c : kContent) {
        if (c.beyondNineHours && s.upToNineHours)
            continue;
        long start;
        long end;
        if (t.countsFrames) {
            start = whole ? c.wholeFrameStart : c.frameStart;
            end = c.frameEnd;
        } else if (s.countsFrames) {
            start = whole ? c.backWholeStart : c.backStart;
            end = c.backEnd;
        } else {
            start = whole ? c.wholeStart : c.start;
            end = c.end;
        }
        if (!s.keepsEnds || !t.keepsEnds)
            end = 0;
        rows.push_back({start, end, c.beyondNineHours && t.upToNineHours,
                        std::string(s.spacedBreaks || t.spacedBreaks ? c.spacedText : c.text) + "\r\n"});
    }
    std::string out;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        Row& r = rows[i];
        if (t.needsEnds && r.end == 0) {
            r.end = i + 1 < rows.size() && rows[i + 1].start > r.start ? rows[i + 1].start : r.start + 30;
            r.end = std::min(r.end, t.upToNineHours ? 359999L : 3599999L);
        }
        if (!r.dropped)
            out += FormatRecord(r.start, r.end, r.text);
    }
    return out;
}

TEST_P(RoundTripTest, LosesOnlyWhatTheFormatsCannotHold)
{
    const auto& [s, t] = GetParam();
    settings.WriteSetting("_CNF_ASK_4", "1");
    settings.WriteSetting("_CNF_ASK_5", "1");

    // The content written in the source format, as a conversion from tenths would.
    std::string content;
    for (const Subtitle& c : kContent)
        content += FormatRecord(c.start, c.end, std::string(c.text) + "\r\n");
    const std::string contentFile = WriteFile("content.std", content);
    WriteOptions content25;
    if (s.countsFrames)
        content25.fps = 25.0f;
    ASSERT_TRUE(
        MakeFormatHandler(*ctx, s.format)->WriteSubtitleFile(contentFile, Path("source"), 0, 1, 0, content25).done);

    bool ok = false;
    auto source = Open(s.format, Path("source"), &ok);
    ASSERT_TRUE(ok);
    if (s.format == t.format) {
        const std::string output = WriteFile("output.std", ReadFile(ws().SourceStandardFile));
        ASSERT_TRUE(source->WriteSubtitleFile(output, Path("target"), 1, 0, 0, WriteOptions{}).done);
    } else {
        const std::optional<WriteOptions> options = ConfirmConversion(*ctx, s.format, t.format, 25.0);
        ASSERT_TRUE(options);
        ASSERT_TRUE(
            RunConversion(*ctx, s.format, t.format, SsaStyleSettings::Defaults(), Path("target"), *options).done);
    }

    ASSERT_EQ(DetectFormat(*ctx, Owner::None, Path("target")), t.format);
    Open(t.format, Path("target"), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ReadFile(ws().SourceStandardFile), Expected(s, t));
    EXPECT_TRUE(host.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(AllPairs, RoundTripTest,
                         ::testing::Combine(::testing::ValuesIn(kFormats), ::testing::ValuesIn(kFormats)),
                         [](const ::testing::TestParamInfo<std::tuple<FormatLosses, FormatLosses>>& param) {
                             return std::string(std::get<0>(param.param).name) + "To" +
                                    std::get<1>(param.param).name;
                         });

} // namespace
} // namespace zv::test
