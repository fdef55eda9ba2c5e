// The files we ship beside the program. Language texts are found only by
// their line number, so a line too many or too few, a broken line end or a
// stray printf sign shows up somewhere else in the program; the help, the FAQ
// and the pictures are found by name, so a renamed one simply goes missing.
#include "engine/io/file_io.h"
#include "engine/config/language.h"
#include "engine/operations/autosync.h"
#include "engine/operations/synchronize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace zv::test {
namespace {

constexpr int kShippedTexts = 451;

// Texts used as printf formats with one integer.
constexpr int kFormatTexts[] = {334, 345, kTextTimedFileDoesNotFit, kTextTimesTaken, kTextTimedFileNeeds,
                                kTextTimedFileTooShort, 433, 451};

constexpr int kToolTips[] = {1, 2, 3, 4, 5, 6, 7, 196, 197, 257, 269, 306, 352, 382};

// Menu entries, and which accelerator each one has to show in its shortcut column.
const std::map<int, std::string> kShortcuts = {
    {85, "Ctrl+O"}, {86, "Ctrl+S"}, {87, "Ctrl+A"}, {88, "Ctrl+T"},
    {98, "Ctrl+U"}, {285, "Ctrl+C"}, {351, "Ctrl+F"},
};

// The menus as the frame builds them; mnemonics must not clash inside one menu.
const std::vector<std::vector<int>> kMenus = {
    {80, 81, 82, 390},                                            // menu bar
    {85, 86, 87, 88, 89, 90, 91, 382, 93, 94, 256, 307, 57, 92},  // File
    {98, 361, 60, 99, 330, 351, 100, 101},                        // Help
};

// Texts the program shows as they are, with no placeholder allowed.
constexpr int kMustHaveWords[] = {20, 21, 24, 25, 37, 44, 46, 52, 110, 317, 318, 319, 320, 321,
                                  322, 323, 324, 325, 332, 393};

struct ShippedFile {
    std::string name;
    std::string bytes;
    LanguageTexts texts;
};

class LanguageFilesTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        file_.name = GetParam();
        path_ = std::string(ZENTAVO_RESOURCE_DIR) + "/languages/" + file_.name;
        ASSERT_TRUE(ReadWholeFile(path_, file_.bytes)) << path_;
        ASSERT_TRUE(file_.texts.LoadOnce(path_));
    }
    std::string Text(int n) const { return file_.texts.LookupText(n); }
    // The raw lines, each with its line end.
    std::vector<std::string> Lines() const
    {
        std::vector<std::string> lines;
        std::size_t pos = 0;
        while (pos < file_.bytes.size()) {
            std::size_t lf = file_.bytes.find('\n', pos);
            if (lf == std::string::npos)
                lf = file_.bytes.size() - 1;
            lines.push_back(file_.bytes.substr(pos, lf + 1 - pos));
            pos = lf + 1;
        }
        return lines;
    }

    ShippedFile file_;
    std::string path_;
};

TEST_P(LanguageFilesTest, EveryLineIsInItsPlace)
{
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kShippedTexts));
    EXPECT_EQ(file_.texts.LineCount(), kShippedTexts);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        SCOPED_TRACE("line " + std::to_string(i + 1));
        ASSERT_GE(line.size(), 7u);
        EXPECT_LE(line.size(), kLanguageLineBytes);
        EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
        EXPECT_EQ(line.find('\r'), line.size() - 2) << "stray CR inside the line";
        // The translator's label is the line's own number, so a line that was
        // lost or added shows at once.
        std::string label = std::to_string(i + 1);
        label = std::string(4 - label.size(), '0') + label + " ";
        EXPECT_EQ(line.substr(0, 5), label);
    }
}

TEST_P(LanguageFilesTest, FormatsTakeOneIntegerAndVisibleTextsAreFilledIn)
{
    for (int n : kFormatTexts) {
        const std::string t = Text(n);
        SCOPED_TRACE("text " + std::to_string(n));
        const auto first = t.find('%');
        ASSERT_NE(first, std::string::npos);
        EXPECT_EQ(t.compare(first, 2, "%d"), 0);
        EXPECT_EQ(t.find('%', first + 1), std::string::npos);
    }
    // Texts filled in by their placeholders in order, each with its own list.
    const std::pair<int, std::vector<std::string>> kFilledInOrder[] = {
        {kTextFrameRateChange, {"%s", "%s"}}, // the movie's rate first, then the subtitles'
        {440, {"%d", "%s", "%s"}},            // a film cut: subtitle, where, offset after it
    };
    for (const auto& [n, expected] : kFilledInOrder) {
        const std::string t = Text(n);
        std::vector<std::string> found;
        for (auto at = t.find('%'); at != std::string::npos; at = t.find('%', at + 2))
            found.push_back(t.substr(at, 2));
        EXPECT_EQ(found, expected) << "text " << n;
    }
    // Every other text is passed around as an argument or shown directly;
    // keeping '%' out of them means no text can ever be misread as a format.
    for (int n = 1; n <= kShippedTexts; ++n) {
        if (std::find(std::begin(kFormatTexts), std::end(kFormatTexts), n) != std::end(kFormatTexts) ||
            std::any_of(std::begin(kFilledInOrder), std::end(kFilledInOrder),
                        [n](const auto& entry) { return entry.first == n; }))
            continue;
        EXPECT_EQ(Text(n).find('%'), std::string::npos) << "text " << n;
    }

    // Texts the user must see are filled in.
    const std::string placeholder = Text(33); // a number nothing uses
    auto filled = [&](int n) {
        const std::string t = Text(n);
        return !t.empty() && t != placeholder && t != kMissingText;
    };
    for (int n : kToolTips)
        EXPECT_TRUE(filled(n)) << "tool tip " << n;
    for (const auto& menu : kMenus)
        for (int n : menu)
            EXPECT_TRUE(filled(n)) << "menu text " << n;
    for (int n : kMustHaveWords)
        EXPECT_TRUE(filled(n)) << "text " << n;
    for (int n = 170; n <= 178; ++n)
        EXPECT_TRUE(filled(n)) << "tip " << n;
}

TEST_P(LanguageFilesTest, MenusShowTheirAcceleratorsAndMnemonicsDoNotClash)
{
    for (const auto& [n, keys] : kShortcuts) {
        const std::string t = Text(n);
        const auto tab = t.find(" \t");
        ASSERT_NE(tab, std::string::npos) << "text " << n;
        EXPECT_EQ(t.substr(tab + 2), keys) << "text " << n;
    }
    for (const auto& menu : kMenus) {
        std::map<unsigned char, int> used;
        for (int n : menu) {
            const std::string t = Text(n);
            const auto amp = t.find('&');
            if (amp == std::string::npos || amp + 1 >= t.size())
                continue;
            const unsigned char key = static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(t[amp + 1])));
            const auto [it, fresh] = used.emplace(key, n);
            EXPECT_TRUE(fresh) << "texts " << it->second << " and " << n << " share a mnemonic";
        }
    }
    // The recent-folders submenu and the tip entry get their own suffixes
    // from the program; a tab in them would break the shortcut column.
    EXPECT_EQ(Text(57).find('\t'), std::string::npos);
    EXPECT_EQ(Text(361).find('\t'), std::string::npos);

    // The FAQ the language file names is shipped.
    const std::string faq = Text(332);
    ASSERT_FALSE(faq.empty());
    EXPECT_EQ(faq.find('/'), std::string::npos);
    EXPECT_TRUE(FileExists(std::string(ZENTAVO_RESOURCE_DIR) + "/" + faq)) << faq;
}

// F1 in each dialog opens the help at its keyword: lower case, spaces as '-'.
TEST(HelpFile, EveryDialogKeywordHasItsSectionAndEveryLinkATarget)
{
    std::string html;
    ASSERT_TRUE(ReadWholeFile(std::string(ZENTAVO_RESOURCE_DIR) + "/help/zentavo.html", html));
    const char* keywords[] = {
        "MOVE TIME command", "CONVERT command", "SYNCHRONIZE command", "REPAIR command",
        "SPLIT FILE command", "JOIN TWO FILES command", "Add stamp-line to output file... command",
        "CONFIGURATION command", "GET INFORMATION SUBTITLE FILES command",
        "GET INFORMATION ABOUT AVI FILE command",
    };
    for (const std::string keyword : keywords) {
        std::string anchor = keyword;
        for (char& c : anchor)
            c = c == ' ' ? '-' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_NE(html.find("name=\"" + anchor + "\""), std::string::npos) << anchor;
        EXPECT_NE(html.find(keyword), std::string::npos) << keyword; // named in its heading
    }
    for (std::size_t at = html.find("href=\"#"); at != std::string::npos; at = html.find("href=\"#", at + 1)) {
        const std::size_t from = at + 7;
        const std::string target = html.substr(from, html.find('"', from) - from);
        EXPECT_NE(html.find("name=\"" + target + "\""), std::string::npos) << "link to #" << target;
    }
}

// The desktop program finds its pictures as :/icons/<name>.svg and its help
// as :/help/zentavo.html through resources/zentavo.qrc.
TEST(ResourceList, ListsEveryIconUnderItsOwnName)
{
    const std::string res = ZENTAVO_RESOURCE_DIR;
    std::string qrc;
    ASSERT_TRUE(ReadWholeFile(res + "/zentavo.qrc", qrc));
    std::set<std::string> listed;
    const std::string open = "<file alias=\"";
    for (std::size_t at = qrc.find(open); at != std::string::npos; at = qrc.find(open, at + 1)) {
        const std::size_t nameFrom = at + open.size();
        const std::string alias = qrc.substr(nameFrom, qrc.find('"', nameFrom) - nameFrom);
        const std::size_t pathFrom = qrc.find('>', nameFrom) + 1;
        const std::string path = qrc.substr(pathFrom, qrc.find('<', pathFrom) - pathFrom);
        EXPECT_EQ(FileNameOf(path), alias);
        EXPECT_TRUE(listed.insert(path).second) << path << " listed twice";
        std::string svg;
        if (path.ends_with(".svg") && ReadWholeFile(res + "/" + path, svg)) {
            EXPECT_TRUE(svg.starts_with("<svg") && svg.find("</svg>") != std::string::npos) << path;
        }
    }
    // The qrc lists exactly the help and the pictures in the folder, so none is
    // shipped by accident or missing from the program; the pictures the
    // program asks for by name are among them.
    std::set<std::string> shipped = {"help/zentavo.html"};
    for (const auto& entry : std::filesystem::directory_iterator(res + "/icons"))
        shipped.insert("icons/" + entry.path().filename().string());
    EXPECT_EQ(listed, shipped);
    for (const char* name : {"open", "save", "save-as", "move-time", "convert", "synchronize", "repair", "split",
                             "unite", "info", "configuration", "avi-info", "forum", "stamp-line",
                             "other-software", "source", "source2", "destination", "destination2", "zentavo",
                             "avi-preview"})
        EXPECT_TRUE(shipped.count(std::string("icons/") + name + ".svg")) << name;
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageFilesTest, ::testing::Values("english.lan", "polish.lan"),
                         [](const ::testing::TestParamInfo<const char*>& shipped) {
                             const std::string name = shipped.param;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
} // namespace zv::test
