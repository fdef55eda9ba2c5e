#include "engine/io/encoding.h"
#include "engine/io/file_io.h"
#include "engine/formats/format.h"
#include "engine/io/input_file.h"
#include "support/engine_fixture.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>

namespace zv::test {
namespace {

using InputFileTest = EngineTest;

// The bytes of a wide text, little- or big-endian.
template <typename Char>
std::string Wide(std::basic_string_view<Char> text, bool bigEndian)
{
    std::string bytes;
    for (const Char c : text)
        for (std::size_t k = 0; k < sizeof(Char); ++k)
            bytes += static_cast<char>((static_cast<std::uint32_t>(c) >> (8 * (bigEndian ? sizeof(Char) - 1 - k : k))) & 0xFF);
    return bytes;
}

// Every byte of a file comes back when its working copy is written in its style.
TEST_F(InputFileTest, TheWorkingCopyIsCrLfWithoutAMarkAndTheStyleWritesTheFileBack)
{
    const std::string kMark = "\xEF\xBB\xBF";
    // "Ż" and a character beyond the 16-bit plane (a surrogate pair in UTF-16).
    const std::string kUtf8 = "{1}{2}\xC5\xBB \xF0\x9F\x98\x80\r\n";
    const std::u16string_view k16 = u"\uFEFF{1}{2}\u017B \U0001F600\r\n";
    const std::u32string_view k32 = U"\uFEFF{1}{2}\u017B \U0001F600\n";
    const struct {
        std::string name;
        std::string bytes;
        std::string copy;
        TextStyle style;
        bool damaged = false;
    } cases[] = {
        {"crlf", "1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n", "1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n", {}},
        {"lf", "1\n00:00:01,000 --> 00:00:02,000\nA\n", "1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n", {false, true}},
        {"mark lf", kMark + "{1}{2}A\n{3}{4}B", "{1}{2}A\r\n{3}{4}B", {true, true}},
        {"mark crlf", kMark + "{1}{2}A\r\n", "{1}{2}A\r\n", {true, false}},
        {"no line end", "{1}{2}A", "{1}{2}A", {}},
        // Damaged files stay as they are, for the line-end repair to see.
        {"mixed", "{1}{2}A\r\n{3}{4}B\n", "{1}{2}A\r\n{3}{4}B\n", {}, true},
        {"doubled", "{1}{2}A\r\r\n{3}{4}B\r\r\n", "{1}{2}A\r\r\n{3}{4}B\r\r\n", {}, true},
        {"lone cr", "{1}{2}A\r{3}{4}B\r", "{1}{2}A\r{3}{4}B\r", {}, true},
        {"mark mixed", kMark + "{1}{2}A\n{3}{4}B\r\n", "{1}{2}A\n{3}{4}B\r\n", {true, false}, true},
        // Wide texts are UTF-8 in the working copy and go back as they came.
        {"utf-16le", Wide(k16, false), kUtf8, {true, false, "UTF-16LE"}},
        {"utf-16be", Wide(k16, true), kUtf8, {true, false, "UTF-16BE"}},
        {"utf-16le bare", Wide(k16.substr(1), false), kUtf8, {false, false, "UTF-16LE"}},
        {"utf-32le lf", Wide(k32, false), kUtf8, {true, true, "UTF-32LE"}},
        {"utf-32be lf", Wide(k32, true), kUtf8, {true, true, "UTF-32BE"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = WriteFile("in", c.bytes);
        InputFile input;
        ASSERT_TRUE(TakeInput(*ctx, path, ws().SourceInput, InputMode::Text, input, Owner::Frame));
        EXPECT_EQ(ReadFile(ws().SourceInput), c.copy);
        EXPECT_EQ(input.style, c.style);
        EXPECT_EQ(input.size, c.bytes.size());
        EXPECT_EQ(input.lineEnds.Damaged(), c.damaged);
        EXPECT_EQ(CheckLineEnds(*ctx, ws().SourceInput), c.damaged ? -1 : 0);
        ASSERT_TRUE(WriteInStyle(ws().SourceInput, Path("back"), input.style));
        EXPECT_EQ(ReadFile(Path("back")), c.bytes);
        // Raw input keeps every byte, the mark included.
        if (!c.style.wideEncoding.empty())
            continue;
        ASSERT_TRUE(TakeInput(*ctx, path, ws().SourceInput, InputMode::Raw, input, Owner::Frame));
        EXPECT_EQ(ReadFile(ws().SourceInput), c.bytes);
    }
    EXPECT_TRUE(host.messages.empty());
}

// A wide text is refused only when it is not whole, or for the line-end
// repair, which works on bytes.
TEST_F(InputFileTest, BrokenWideTextsFoldersAndOversizedStreamsAreRefusedAndLeaveNothing)
{
    const std::string utf16 = std::string("\xFF\xFE", 2) + std::string("1\0\r\0\n\0", 6);
    const std::string cut = std::string("\xFE\xFF\0001\0\r\0\n\0", 9);
    const std::string loneSurrogate = std::string("\xFF\xFE" "1\0\x00\xD8\r\0\n\0", 10);
    const struct {
        std::string path;
        std::string message;
        std::uint64_t limit = kMaxInputSize;
        InputMode mode = InputMode::Text;
    } cases[] = {
        {WriteFile("le.srt", utf16), "T44: T401\n\nUTF-16LE", kMaxInputSize, InputMode::Raw},
        {WriteFile("cut.srt", cut), "T44: T401\n\nUTF-16BE"},
        {WriteFile("lone.srt", loneSurrogate), "T44: T401\n\nUTF-16LE"},
        {dir, "T44: T398"},
        {"/dev/null", "T44: T399"},
        {Path("missing"), "T44: T56"},
        {WriteFile("big.srt", std::string(5000, 'x')), "T44: T400", 4999},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        host.messages.clear();
        WriteFile("copy", "old");
        InputFile input;
        EXPECT_FALSE(TakeInput(*ctx, c.path, Path("copy"), c.mode, input, Owner::Frame, c.limit));
        EXPECT_EQ(Messages(), c.message);
        EXPECT_EQ(host.messages.at(0).owner, Owner::Frame);
        EXPECT_FALSE(FileExists(Path("copy")));
    }
    InputFile input;
    EXPECT_TRUE(TakeInput(*ctx, Path("big.srt"), Path("copy"), InputMode::Text, input, Owner::Frame, 5000));
}

// A regular file is refused by its size before a byte is copied (the copy's
// folder is not even there); a copy that runs out of room says why and stops.
// A file size limit stands in for a full TEMP.
TEST_F(InputFileTest, AFileTooLargeIsRefusedByItsSizeAndAFullTempSaysWhy)
{
    const std::string huge = Path("huge.srt");
    ASSERT_EQ(::truncate(WriteFile("huge.srt", "").c_str(), static_cast<off_t>(kMaxInputSize) * 5), 0);
    InputFile input;
    EXPECT_FALSE(TakeInput(*ctx, huge, Path("no/such/copy"), InputMode::Text, input, Owner::Frame));
    EXPECT_EQ(Messages(), "T44: T400");
    ::unlink(huge.c_str());

    std::string text;
    while (text.size() < (1u << 20))
        text += "{1}{2}a subtitle\n";
    const std::string path = WriteFile("lf.sub", text);
    const pid_t child = ::fork();
    if (child == 0) {
        host.messages.clear();
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool taken = TakeInput(*ctx, path, Path("copy"), InputMode::Text, input, Owner::Frame);
        std::_Exit(!taken && Messages() == "T44: T46\n\n" + std::string(std::strerror(EFBIG)) &&
                           !FileExists(Path("copy"))
                       ? 0
                       : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(InputFileTest, EncodingsAreToldFromTheBytes)
{
    const struct {
        std::string bytes;
        std::string encoding;
    } cases[] = {
        // "Zażółć gęślą jaźń. Pójdźmy do źródła, tam gdzie ryba śpiewa." in Windows-1250
        {"Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1. P\xf3jd\x9fmy do \x9fr\xf3""d\xb3""a, tam gdzie ryba \x9cpiewa.\r\n",
         "Windows-1250"},
        // "L'été dernier, nous étions à la plage où il faisait très chaud; ça m'a plu." in Windows-1252
        {"L'\xe9t\xe9 dernier, nous \xe9tions \xe0 la plage o\xf9 il faisait tr\xe8s chaud; \xe7""a m'a plu.\r\n",
         "Windows-1252"},
        // "Привет, как дела? Это пример русского текста для проверки." in Windows-1251
        {"\xcf\xf0\xe8\xe2\xe5\xf2, \xea\xe0\xea \xe4\xe5\xeb\xe0? \xdd\xf2\xee \xef\xf0\xe8\xec\xe5\xf0 "
         "\xf0\xf3\xf1\xf1\xea\xee\xe3\xee \xf2\xe5\xea\xf1\xf2\xe0 \xe4\xeb\xff \xef\xf0\xee\xe2\xe5\xf0\xea\xe8.\r\n",
         "Windows-1251"},
        {"Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87 g\xc4\x99\xc5\x9bl\xc4\x85\r\n", "UTF-8"},
        {"Plain text\r\n", "UTF-8"},
        // Only typographic quotes and an ellipsis above 127.
        {"It\x92s over\x85\r\n", "Windows-1252"},
        // English with one accent, which the detector takes for a Mac code page.
        {"Fran\xe7ois said it\x92s over\x85 isn\x92t it? It\x92s late.\r\n", "Windows-1252"},
        // UTF-8 with one stray Windows-1250 byte, which the detector calls UTF-8.
        {"Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87 g\xc4\x99\xc5\x9bl\xc4\x85 ja\xc5\xba\xc5\x84. P\xc3\xb3jd\xc5\xbamy do "
         "\xc5\xbar\xc3\xb3""d\xc5\x82""a\r\nMo\xbf""e\r\n",
         "Windows-1252"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DetectEncoding(c.bytes), c.encoding) << c.bytes;
        EXPECT_EQ(DetectFileEncoding(WriteFile("text", c.bytes)), c.encoding);
    }
    EXPECT_FALSE(IsValidUtf8("\xc0\xaf"));     // overlong
    EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80")); // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xe2\x82"));     // cut short
}

TEST_F(InputFileTest, TypedTextsAreWrittenInTheFilesEncoding)
{
    const struct {
        std::string utf8;
        std::string encoding;
        std::string bytes;
    } cases[] = {
        {"Poprawi\xc5\x82 Zentavo", "Windows-1250", "Poprawi\xb3 Zentavo"},
        {"Poprawi\xc5\x82 Zentavo", "ISO-8859-2", "Poprawi\xb3 Zentavo"},
        // What the code page lacks becomes a question mark, one per character.
        {"Poprawi\xc5\x82 \xe2\x80\x9cZentavo\xe2\x80\x9d", "Windows-1252", "Poprawi? \x93Zentavo\x94"},
        {"\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82", "KOI8-R", "\xf0\xd2\xc9\xd7\xc5\xd4"},
        {"Poprawi\xc5\x82", "UTF-8", "Poprawi\xc5\x82"},
        {"Poprawi\xc5\x82", "", "Poprawi\xc5\x82"},
        // Bytes that are no UTF-8 are no character of any file.
        {"a\xff\xc5 b", "Windows-1250", "a?? b"},
        {"a\xff b", "UTF-8", "a? b"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeUtf8Text(c.utf8, c.encoding), c.bytes) << c.utf8 << " " << c.encoding;
}

} // namespace
} // namespace zv::test
