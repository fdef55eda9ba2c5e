// Each format's sample is read into a StandardFile and written back as an
// operation would; both results are compared byte for byte with checked-in
// files. ZENTAVO_UPDATE_GOLDEN=1 rewrites those files from the current code
// (review the difference before committing it).
#include "engine/io/file_io.h"
#include "engine/formats/format.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zv::test {
namespace {

struct Golden {
    const char* sample;
    SubtitleFormat format;
};

const Golden kGolden[] = {
    {"microdvd.sub", SubtitleFormat::MicroDvd},
    {"mpl2.txt", SubtitleFormat::Mpl2},
    {"tmplayer.txt", SubtitleFormat::TmPlayer},
    {"tmplayer_short.txt", SubtitleFormat::TmPlayerShort},
    {"subrip.srt", SubtitleFormat::SubRip},
    {"subviewer1.sub", SubtitleFormat::SubViewer1},
    {"subviewer2.sub", SubtitleFormat::SubViewer2},
    {"ssa.ssa", SubtitleFormat::Ssa},
    {"ssa_layers.ssa", SubtitleFormat::Ssa},
};

class GoldenTest : public EngineTest, public ::testing::WithParamInterface<Golden> {
protected:
    static std::string DataPath(const std::string& name) { return std::string(ZENTAVO_TEST_DATA) + "/formats/" + name; }

    void Compare(const std::string& actual, const std::string& expectedName)
    {
        const std::string path = DataPath(expectedName);
        const char* update = std::getenv("ZENTAVO_UPDATE_GOLDEN");
        if (update && *update == '1') {
            AtomicWriteFile(path, actual);
            return;
        }
        ASSERT_TRUE(FileExists(path)) << path;
        EXPECT_EQ(actual, ReadFile(path)) << expectedName;
    }
};

TEST_P(GoldenTest, ReadAndWrittenBack)
{
    const Golden g = GetParam();
    const std::string sample = DataPath(g.sample);
    ASSERT_EQ(DetectFormat(*ctx, Owner::None, sample), g.format);

    bool ok = false;
    auto handler = Open(g.format, sample, &ok);
    ASSERT_TRUE(ok);
    EXPECT_TRUE(host.messages.empty());
    const std::string standard = ReadFile(ws().SourceStandardFile);
    Compare(standard, std::string(g.sample) + ".std");

    // An operation hands the writer its own output StandardFile and has it deleted.
    const std::string output = WriteFile("output.std", standard);
    ASSERT_TRUE(handler->WriteSubtitleFile(output, ws().WorkingCopy, 1, 0, 0, WriteOptions{}).done);
    EXPECT_FALSE(FileExists(output));
    Compare(ReadFile(ws().WorkingCopy), std::string(g.sample) + ".expected");
}

INSTANTIATE_TEST_SUITE_P(Formats, GoldenTest, ::testing::ValuesIn(kGolden),
                         [](const ::testing::TestParamInfo<Golden>& param) {
                             std::string name = param.param.sample;
                             for (char& c : name)
                                 if (c == '.')
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace zv::test
