// The words the program does not write itself: Qt's own buttons and dialogs,
// and the names of the file dialogs' filters, in the language file's language.
#include "frame_fixture.h"
#include "qt/qt_translations.h"

#include <QMessageBox>
#include <QPushButton>

namespace zv::app::test {
using qt::InstallQtTranslations;
using qt::SetFileDialogTexts;

namespace {

class TranslationsTest : public FrameTest {};

TEST_F(TranslationsTest, QtsOwnButtonsSpeakTheLanguageFilesLanguage)
{
    const auto yesOf = [] {
        QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
        return box.button(QMessageBox::Yes)->text() + QLatin1Char('|') + box.button(QMessageBox::No)->text();
    };
    const std::pair<const char*, const char*> cases[] = {{"polish.lan", "&Tak|&Nie"}, {"english.lan", "&Yes|&No"}};
    for (const auto& [file, buttons] : cases) {
        zv::LanguageTexts language;
        ASSERT_TRUE(language.LoadOnce(std::string(ZENTAVO_RESOURCE_DIR) + "/languages/" + file));
        const auto translator = InstallQtTranslations(language);
        EXPECT_EQ(yesOf(), buttons) << file;
    }
    // The translations go with their translator.
    EXPECT_EQ(yesOf(), "&Yes|&No");
}

TEST_F(TranslationsTest, FileDialogFiltersAreNamedByTheLanguageFile)
{
    SetFileDialogTexts(&texts);
    OpenFile(WriteFile("film.sub", "{10}{20}Hello\r\n"));
    SetFileDialogTexts(nullptr);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].filter, "T136 (*.txt *.srt *.sub *.ssa);;T137 (*.txt);;T138 (*.sub);;T139 (*.srt);;"
                                 "T140 (*.ssa);;T141 (*)");
}

} // namespace
} // namespace zv::app::test
