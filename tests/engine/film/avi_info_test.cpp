#include "engine/film/avi_info.h"
#include "support/avi_writer.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

namespace zv::test {
namespace {

bool Parse(const std::string& bytes, AviInfo& info)
{
    return ParseAviInfo(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), info);
}

TEST(AviInfoTest, ReadsTheMainHeaderAndTheFirstVideoStream)
{
    const struct {
        AviFields fields;
        const char* fps;
    } cases[] = {
        {{.scale = 1, .rate = 25}, "25.000000"},
        {{.scale = 1001, .rate = 30000}, "29.970030"},
        {{.scale = 1001, .rate = 24000, .audio = true}, "23.976024"},
        // Unsigned fields stay unsigned; no rate is no frame rate.
        {{.maxBytesPerSecond = 0xffffffff, .width = 0x80000000, .scale = 0, .rate = 25}, ""},
        {{.scale = 1, .rate = 0}, ""},
    };
    for (const auto& c : cases) {
        AviInfo info;
        ASSERT_TRUE(Parse(AviFile(c.fields), info)) << c.fps;
        EXPECT_EQ(info.maxBytesPerSecond, c.fields.maxBytesPerSecond);
        EXPECT_EQ(info.streams, c.fields.audio ? 2u : 1u);
        EXPECT_EQ(info.width, c.fields.width);
        EXPECT_EQ(info.height, c.fields.height);
        EXPECT_EQ(info.scale, c.fields.scale);
        EXPECT_EQ(info.rate, c.fields.rate);
        EXPECT_EQ(info.length, c.fields.length);
        EXPECT_EQ(info.fileType, "AVI");
        EXPECT_EQ(AviFramesPerSecond(info), c.fps);
    }
}

TEST(AviInfoTest, RefusesTruncatedAndHostileFiles)
{
    const std::string good = AviFile();
    std::string huge = good;
    huge.replace(16, 4, Le32(0xfffffff0)); // the header list claims more than the form holds
    // Endless empty chunks before the header are not walked to the end.
    std::string junk;
    for (int i = 0; i < 5000; ++i)
        junk += Chunk("JUNK", "");
    const std::string loop = "RIFF" + Le32(static_cast<std::uint32_t>(good.size() - 8 + junk.size())) + "AVI " +
                             junk + good.substr(12);
    const std::string cases[] = {
        "",
        good.substr(0, 11),
        "RIFX" + good.substr(4),
        good.substr(0, 8) + "WAVE" + good.substr(12),
        huge,
        loop,
        AviFile({.mainSize = 55}),
        AviFile({.streamSize = 47}),
        "RIFF" + Le32(4) + "AVI ", // no header list at all
    };
    for (const std::string& bytes : cases) {
        AviInfo info;
        EXPECT_FALSE(Parse(bytes, info)) << bytes.size();
    }
    // Every cut of a good file is either read whole or refused; none reads past the end.
    for (std::size_t n = 0; n < good.size(); ++n) {
        AviInfo info;
        if (Parse(good.substr(0, n), info)) {
            EXPECT_EQ(info.rate, 25u) << n;
        }
    }
    // A size field left unfilled by a writer that stopped is bounded by the file.
    std::string unfilled = good;
    unfilled.replace(4, 4, Le32(0));
    AviInfo info;
    EXPECT_TRUE(Parse(unfilled, info));
    EXPECT_EQ(AviFramesPerSecond(info), "25.000000");
}

class AviLoadTest : public EngineTest {};

TEST_F(AviLoadTest, TellsWhatCannotBeOpened)
{
    AviInfo info;
    EXPECT_TRUE(LoadAviInfo(*ctx, WriteFile("clip.avi", AviFile({.scale = 1001, .rate = 30000})), info));
    EXPECT_EQ(AviFramesPerSecond(info), "29.970030");
    EXPECT_EQ(Messages(), "");
    EXPECT_FALSE(LoadAviInfo(*ctx, WriteFile("notes.avi", "{1}{2}Hello\r\n"), info));
    EXPECT_FALSE(LoadAviInfo(*ctx, Path("missing.avi"), info));
    EXPECT_EQ(Messages(), "T52: T254 / T52: T254");
    EXPECT_EQ(host.messages.at(0).icon, Icon::Stop);
}

} // namespace
} // namespace zv::test
