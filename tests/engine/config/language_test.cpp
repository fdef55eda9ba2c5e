// The language file loader: how raw lines become numbered texts.
#include "engine/io/file_io.h"
#include "engine/config/language.h"
#include "engine/io/workspace.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace zv::test {
namespace {

class LanguageLoaderTest : public ::testing::Test {
protected:
    LanguageLoaderTest() : dir_(MakeRunFolder()) {}
    ~LanguageLoaderTest() override { RemoveRunFolder(dir_); }

    std::string Write(const std::string& contents)
    {
        const std::string path = dir_ + "/t.lan";
        EXPECT_TRUE(AtomicWriteFile(path, contents));
        return path;
    }
    LanguageTexts& Load(const std::string& contents)
    {
        EXPECT_TRUE(texts_.LoadOnce(Write(contents)));
        return texts_;
    }

    std::string dir_;
    LanguageTexts texts_;
};

TEST_F(LanguageLoaderTest, LabelLineEndAndEscapes)
{
    auto& t = Load("0001 Open\r\n0002 \r\n0003\r\n12345\r\n0005 Save\r\n");
    EXPECT_EQ(t.LineCount(), 5);
    EXPECT_EQ(t.LookupText(1), "Open");
    EXPECT_EQ(t.LookupText(2), "");   // label and a blank: empty text
    EXPECT_EQ(t.LookupText(3), "");   // shorter than the label
    EXPECT_EQ(t.LookupText(4), "");   // exactly five characters
    EXPECT_EQ(t.LookupText(5), "Save");

    // Escapes become line breaks and the shortcut column.
    Load("0001 &Open...\\tCtrl+O\r\n0002 One\\nTwo\r\n0003 C:\\temp\\x \\\\n\r\n");
    EXPECT_EQ(t.LookupText(1), "&Open... \tCtrl+O");
    EXPECT_EQ(t.LookupText(2), "One\r\nTwo");
    // Only \n and \t are escapes; a backslash before anything else stays.
    EXPECT_EQ(t.LookupText(3), "C: \temp\\x \\\r\n");

    // Two bytes of line end are always cut, so LF-only lines lose a character;
    // a last line without its line feed is not read.
    Load("0001 Open\n0002 Save\n0003 Last");
    EXPECT_EQ(t.LookupText(1), "Ope");
    EXPECT_EQ(t.LookupText(2), "Sav");
    EXPECT_EQ(t.LineCount(), 2);
}

TEST_F(LanguageLoaderTest, LongLineIsSplitAndShiftsTheFollowingTexts)
{
    // 1,200 bytes with its CR LF: the first 999 bytes are text 2, the rest
    // is read as text 3, and the line after it becomes text 4.
    const std::string head = "0002 " + std::string(994, 'a');
    const std::string tail = "TAIL " + std::string(194, 'b');
    ASSERT_EQ(head.size() + tail.size() + 2, 1200u);
    auto& t = Load("0001 First\r\n" + head + tail + "\r\n0003 Next\r\n");
    EXPECT_EQ(t.LineCount(), 4);
    EXPECT_EQ(t.LookupText(2), std::string(992, 'a')); // cut line loses two bytes too
    EXPECT_EQ(t.LookupText(3), std::string(194, 'b'));
    EXPECT_EQ(t.LookupText(4), "Next");

    // A line that reached 999 bytes is complete even when the file ends there.
    Load("0001 x\r\n" + std::string(5, 'L') + std::string(994, 'z'));
    EXPECT_EQ(t.LineCount(), 2);
    EXPECT_EQ(t.LookupText(2), std::string(992, 'z'));
}

TEST_F(LanguageLoaderTest, NumbersOutsideTheTableGiveTheFixedText)
{
    std::string file;
    for (int n = 1; n <= 2100; ++n)
        file += "L    T" + std::to_string(n) + "\r\n";
    auto& t = Load(file);
    EXPECT_EQ(t.LineCount(), 2000); // the rest of the file is ignored
    EXPECT_EQ(t.LookupText(1), "T1");
    EXPECT_EQ(t.LookupText(1999), "T1999");
    EXPECT_EQ(t.LookupText(0), kMissingText);
    EXPECT_EQ(t.LookupText(-3), kMissingText);
    EXPECT_EQ(t.LookupText(2000), kMissingText); // read, yet beyond the lookup range
    EXPECT_EQ(t.LookupText(2001), kMissingText);

    // A reload replaces the whole table; freeing it leaves only the fixed text.
    Load("0001 Only\r\n");
    EXPECT_EQ(t.LookupText(2), kMissingText);
    t.FreeLanguageFile();
    EXPECT_EQ(t.LookupText(1), kMissingText);

    // A device chosen by mistake must neither hang the program nor fill its memory.
    ASSERT_TRUE(texts_.LoadOnce("/dev/zero"));
    EXPECT_EQ(texts_.LineCount(), kLanguageLines);
    EXPECT_EQ(texts_.LookupText(1), std::string(992, '\0'));
}

TEST_F(LanguageLoaderTest, MissingFileIsTriedTwelveTimesWithBeepsBetween)
{
    int beeps = 0;
    auto beep = [&] { ++beeps; };
    // A file appearing during the retries is loaded.
    const std::string late = dir_ + "/late.lan";
    EXPECT_TRUE(texts_.LoadLanguageFile(
        late, [&] { if (++beeps == 3) AtomicWriteFile(late, "0001 Late\r\n"); }, std::chrono::milliseconds(0)));
    EXPECT_EQ(beeps, 3);
    EXPECT_EQ(texts_.LookupText(1), "Late");

    beeps = 0;
    const std::string missing = dir_ + "/missing.lan";
    EXPECT_FALSE(texts_.LoadLanguageFile(missing, beep, std::chrono::milliseconds(0)));
    EXPECT_EQ(beeps, 11); // 12 tries, a beep and a pause before each retry

    // The tries are spent for the process until a file opens again.
    beeps = 0;
    EXPECT_FALSE(texts_.LoadLanguageFile(missing, beep, std::chrono::milliseconds(0)));
    EXPECT_EQ(beeps, 0);
    EXPECT_TRUE(texts_.LoadLanguageFile(Write("0001 Hello\r\n"), beep, std::chrono::milliseconds(0)));
    EXPECT_EQ(texts_.LookupText(1), "Hello");
    EXPECT_FALSE(texts_.LoadLanguageFile(missing, beep, std::chrono::milliseconds(0)));
    EXPECT_EQ(beeps, 11);
}

TEST(FolderOfPath, KeepsTheFinalSeparator)
{
    EXPECT_EQ(FolderOfPath("/usr/share/zentavo/languages/english.lan"), "/usr/share/zentavo/languages/");
    EXPECT_EQ(FolderOfPath("/a/b"), "");      // shorter than 5 characters
    EXPECT_EQ(FolderOfPath("english.lan"), ""); // no folder part
}

} // namespace
} // namespace zv::test
