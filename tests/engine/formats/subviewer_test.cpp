#include "engine/io/file_io.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

namespace zv::test {
namespace {

class SubViewerTest : public EngineTest {
protected:
    std::unique_ptr<FormatHandler> Read(SubtitleFormat format, const std::string& contents)
    {
        return Load(format, contents);
    }
    std::string Write(FormatHandler& handler, const std::string& records) { return Written(handler, records); }
};

const char* const kFixedSubViewer2Header =
    "[INFORMATION]\r\n[TITLE]\r\n[AUTHOR]\r\n[SOURCE]\r\n[PRG]\r\n[FILEPATH]\r\n[DELAY]\r\n[CD TRACK]\r\n"
    "[COMMENT]Subtitle synchronized using Zentavo: http://www.zentavo.example/\r\n"
    "[END INFORMATION]\r\n[SUBTITLE]\r\n[COLF]&HFFFFFF,[STYLE]bd,[SIZE]16,[FONT]Arial\r\n";

const char* const kFixedSubViewer1Header =
    "[TITLE]\r\n\r\n[AUTHOR]\r\n\r\n[SOURCE]\r\n\r\n[PRG]\r\n\r\n[FILEPATH]\r\n\r\n[DELAY]\r\n0\r\n"
    "[CD TRACK]\r\n0\r\n[BEGIN]\r\n******** START SCRIPT ********\r\n";

TEST_F(SubViewerTest, ReadersKeepTheHeaderAndEndEveryRecord)
{
    const std::string header = "[INFORMATION]\r\n[TITLE]Film\r\n[END INFORMATION]\r\n[SUBTITLE]\r\n"
                               "[COLF]&HFFFFFF,[STYLE]bd,[SIZE]18,[FONT]Arial\r\n";
    auto handler = Read(SubtitleFormat::SubViewer2, header +
                                                        "00:00:01.50,00:00:04.00\r\nHello[br]World\r\n\r\n"
                                                        "[SUBTITLE]\r\n"
                                                        "00:00:05.09,00:00:06.99\r\nLast");
    EXPECT_EQ(ReadFile(ws().SourceStandardFile),
              "0000015|0000040|Hello[br]World\r\n0000050|0000069|Last\r\n");
    EXPECT_EQ(ReadFile(ws().HeaderFile), header);
    EXPECT_EQ(handler->hasHeader, 1);

    // A time line as the last line gives a whole record.
    Read(SubtitleFormat::SubViewer2, "00:00:01.00,00:00:02.00\r\nA\r\n\r\n00:00:03.00,00:00:04.00");
    EXPECT_EQ(ReadFile(ws().SourceStandardFile), "0000010|0000020|A\r\n0000030|0000040|\r\n");
    Read(SubtitleFormat::SubViewer1, "[00:00:01]\r\nA\r\n[00:00:03]\r\n");
    EXPECT_EQ(ReadFile(ws().SourceStandardFile), "0000010|0000000|A\r\n0000030|0000000|\r\n");
    // Only positions 0-3 make a SubViewer2 time line; what is missing reads as 0.
    Read(SubtitleFormat::SubViewer2, "00:1\r\nText\r\n");
    EXPECT_EQ(ReadFile(ws().SourceStandardFile), "0000600|0000000|Text\r\n");
}

TEST_F(SubViewerTest, SubViewer2WriterFixedAndKeptHeader)
{
    auto bare = MakeFormatHandler(*ctx, SubtitleFormat::SubViewer2);
    EXPECT_EQ(Write(*bare, "0000125|0000213|Hello|World\r\n0000010|0000000|No end\r\n"),
              std::string(kFixedSubViewer2Header) +
                  "00:00:12.50,00:00:21.30\r\nHello|World\r\n\r\n"
                  "00:00:01.00,00:00:04.00\r\nNo end\r\n\r\n");

    auto opened = Read(SubtitleFormat::SubViewer2, "[INFORMATION]\r\n[TITLE]Mine\r\n00:00:01.00,00:00:02.00\r\nA\r\n");
    EXPECT_EQ(Write(*opened, "0000011|0000021|A\r\n"), "[INFORMATION]\r\n[TITLE]Mine\r\n00:00:01.10,00:00:02.10\r\nA\r\n\r\n");

    // Starts and ends beyond 99 hours are dropped: the reader could not read them back.
    settings.WriteSetting("_CNF_ASK_4", "1");
    const std::string out =
        Write(*bare, "3600000|3600010|Gone\r\n0000010|3600000|Long end\r\n0000010|3599999|Kept\r\n");
    EXPECT_EQ(out.substr(std::string(kFixedSubViewer2Header).size()), "00:00:01.00,99:59:59.90\r\nKept\r\n\r\n");
    EXPECT_EQ(writeOutcome.dropped, 2);
}

TEST_F(SubViewerTest, SubViewer1ReaderKeepsHeaderAndDropsTheEndMarkers)
{
    const std::string header = "[TITLE]\r\nFilm\r\n[BEGIN]\r\n******** START SCRIPT ********\r\n";
    auto handler = Read(SubtitleFormat::SubViewer1, header +
                                                        "[00:01:02]\r\nHi|there\r\n"
                                                        "[00:01:05]\r\nAgain\r\n"
                                                        "[END]\r\n******** End Script ********\r\n");
    EXPECT_EQ(ReadFile(ws().SourceStandardFile), "0000620|0000000|Hi|there\r\n0000650|0000000|Again\r\n");
    EXPECT_EQ(ReadFile(ws().HeaderFile), header);
    EXPECT_EQ(handler->hasHeader, 1);
}

TEST_F(SubViewerTest, SubViewer1WriterFixedHeaderFooterAndWholeSeconds)
{
    auto bare = MakeFormatHandler(*ctx, SubtitleFormat::SubViewer1);
    EXPECT_EQ(Write(*bare, "0000125|0000213|Hello\r\n0035999|0000000|A\r\n0036000|0000000|B\r\n"),
              std::string(kFixedSubViewer1Header) +
                  "[00:00:12]\r\nHello\r\n[00:59:59]\r\nA\r\n[01:00:00]\r\nB\r\n"
                  "[END]\r\n******** End Script ********\r\n");
    EXPECT_EQ(Write(*bare, ""), std::string(kFixedSubViewer1Header) + "[END]\r\n******** End Script ********\r\n");

    // A run cancelled at the hours question has no footer.
    host.answers = {Answer::Cancel};
    EXPECT_EQ(Write(*bare, "0000010|0000000|A\r\n3600000|0000000|B\r\n"),
              std::string(kFixedSubViewer1Header) + "[00:00:01]\r\nA\r\n");
}

} // namespace
} // namespace zv::test
