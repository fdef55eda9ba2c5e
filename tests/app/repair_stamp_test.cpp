// Repair from the frame: each repair through its button, the lengthen
// settings handed back to Repair and stored; the stamp-line dialog, its
// button 3 and the automatic stamp-line after an operation.
#include "app/dialogs/repair_dialog.h"
#include "app/dialogs/stamp_line_dialog.h"
#include "qt/text_codec.h"
#include "frame_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zv::app::test {
using qt::ProgressDialog;
using qt::SetInstallerLanguage;

namespace {

QPushButton* Button(QWidget* d, const char* id) { return d->findChild<QPushButton*>(id); }
QLineEdit* Edit(QWidget* d, const char* id) { return d->findChild<QLineEdit*>(id); }
QCheckBox* Check(QWidget* d, const char* id) { return d->findChild<QCheckBox*>(id); }
QRadioButton* Radio(QWidget* d, const char* id) { return d->findChild<QRadioButton*>(id); }

class RepairStampTest : public FrameTest {
protected:
    RepairStampTest()
    {
        // No line-end check at Open, no questions when a result is replaced.
        for (const char* quiet : {"_CNF_ASK_10", "_CNF_ASK_2", "_CNF_ASK_3"})
            settings.WriteSetting(quiet, "1");
    }
    // Opens contents as a MicroDvd file and runs one Repair button on it.
    QStringList Repaired(const std::string& contents, const char* button)
    {
        OpenFile(WriteFile("film.sub", contents));
        RunModal(cmd::Repair, [&](QDialog* d) {
            EXPECT_EQ(d->objectName(), "115");
            Button(d, button)->click();
        });
        EndProgress();
        return Lines(doc(DocumentKind::Destination));
    }
    static void EndProgress()
    {
        for (ProgressDialog* p : TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")))
            p->okButton()->click();
        Flush();
    }
    // Runs the stamp-line dialog; drive works while it is up.
    void Stamp(const std::function<void(QDialog*)>& drive) { RunModal(cmd::StampLine, drive); }
};

TEST_F(RepairStampTest, EachRepairShowsAResultOnlyWhenItChangedSomething)
{
    struct Case {
        const char* button;
        std::string contents;
        QStringList shown; // empty: no result window
    };
    const Case cases[] = {
        {"1032", "{10}{20}a\n{30}{40}b\r\n", {" ", "{10}{20}a", "{30}{40}b"}},
        {"1032", "{10}{20}a\r\n{30}{40}b\r\n", {}},
        // Consistent LF line ends are the file's own style, not damage.
        {"1032", "{10}{20}a\n{30}{40}b\n", {}},
        {"1033", "{30}{40}c\r\n{10}{20}a\r\n", {" ", "{10}{20}a", "{30}{40}c"}},
        {"1033", "{10}{20}a\r\n{30}{40}c\r\n", {}},
        // 10 characters of a frame file need 20 + 12.5 frames.
        {"1034", "{100}{110}0123456789\r\n{200}{250}B\r\n", {" ", "{100}{132}0123456789", "{200}{250}B"}},
        {"1034", "{100}{200}a\r\n{300}{400}b\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + c.contents);
        EXPECT_EQ(Repaired(c.contents, c.button), c.shown);
        EXPECT_EQ(State(), c.shown.isEmpty() ? "Source: move unite" : "Destination Source: save saveas");
    }

    // Without an open file the dialog offers no repair at all.
    Close(DocumentKind::Source);
    RunModal(cmd::Repair, [](QDialog* d) {
        for (const char* id : {"1032", "1033", "1034", "1035"})
            EXPECT_FALSE(Button(d, id)->isEnabled()) << id;
        d->reject();
    });
}

TEST_F(RepairStampTest, LengthenSettingsAreStoredReadBackAndRunByRepair)
{
    OpenFile(WriteFile("film.sub", "{100}{110}0123456789\r\n{200}{250}B\r\n"));
    // The settings dialog over Repair: first a stored value OK refuses, then
    // values typed as a user would, with a decimal comma.
    settings.WriteSetting("_PopZnikajace_NaZNAK_", "-1");
    settings.WriteSetting("_PopZnikajace_LINIE_", "TA"); // shorter than its prefix: not stored
    RunModal(cmd::Repair, [&](QDialog* repair) {
        QTimer::singleShot(0, [&] {
            auto* s = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(s, nullptr);
            EXPECT_EQ(s->objectName(), "184");
            EXPECT_EQ(Edit(s, "1027")->text(), "8");
            EXPECT_EQ(Edit(s, "1028")->text(), "-1");
            EXPECT_EQ(Edit(s, "1029")->text(), "3");
            EXPECT_TRUE(Check(s, "1050")->isChecked());
            Button(s, "1")->click();
            EXPECT_EQ(Messages(), std::vector<std::string>({"T44: T346"}));
            EXPECT_TRUE(s->isVisible());
            Edit(s, "1027")->setText("9");
            Edit(s, "1028")->setText("0,5");
            Check(s, "1051")->click();
            Button(s, "1")->click();
        });
        Button(repair, "1035")->click();
        EXPECT_FALSE(repair->isVisible()); // closed by Repair itself, after the settings
    });
    EndProgress();
    // Base 9 tenths are 22 frames: 10 characters need 34.
    EXPECT_EQ(Lines(doc(DocumentKind::Destination)), QStringList({" ", "{100}{134}0123456789", "{200}{250}B"}));
    EXPECT_EQ(settings.ReadSetting("_PopZnikajace_BASE_"), "9");
    EXPECT_EQ(settings.ReadSetting("_PopZnikajace_NaZNAK_"), "0,5");
    EXPECT_EQ(settings.ReadSetting("_PopZnikajace_LINIE_"), "TAK 3");
    EXPECT_EQ(settings.ReadSetting("_PopZnikajace_MaxCHAR_"), "NIE 90");

    // Read back when the dialog opens again; its defaults button stores nothing.
    ShortSubtitleSettings again(frame->context(), nullptr);
    EXPECT_EQ(Edit(&again, "1028")->text(), "0,5");
    EXPECT_FALSE(Check(&again, "1051")->isChecked());
    Button(&again, "1031")->click();
    EXPECT_EQ(Edit(&again, "1028")->text(), "0.5");
    EXPECT_EQ(settings.ReadSetting("_PopZnikajace_MaxCHAR_"), "NIE 90");
}

TEST_F(RepairStampTest, StampDialogSetsUpFromTheSettingsStoresOnOkAndStampsTheOpenFile)
{
    settings.WriteSetting("STOPKA_SELECTION", "2");
    settings.WriteSetting("STOPKA_KONIEC", "The\r\nend");
    settings.WriteSetting("STOPKA_AUTO", "0");
    OpenFile(WriteFile("film.sub", "{100}{150}a\r\n{200}{250}b\r\n"));
    Stamp([&](QDialog* d) {
        EXPECT_EQ(d->objectName(), "203");
        EXPECT_TRUE(Radio(d, "1002")->isChecked());
        EXPECT_TRUE(Edit(d, "1028")->isEnabled() && !Edit(d, "1027")->isEnabled());
        EXPECT_EQ(Edit(d, "1028")->text(), "Theend"); // stored line breaks removed
        EXPECT_TRUE(Edit(d, "1027")->text().startsWith("T384 | "));
        EXPECT_FALSE(Check(d, "1118")->isChecked());
        EXPECT_FALSE(Button(d, "1")->isEnabled());
        EXPECT_TRUE(Button(d, "3")->isEnabled());
        ClickChild(d, "1003");
        EXPECT_TRUE(Button(d, "1")->isEnabled() && Edit(d, "1027")->isEnabled());
        Edit(d, "1027")->setText("Hello");
        Check(d, "1118")->click();
        Button(d, "1")->click(); // stores, stays open
        EXPECT_FALSE(Button(d, "1")->isEnabled());
        EXPECT_TRUE(d->isVisible());
        Edit(d, "1028")->setText("Bye"); // as typed, not stored
        Button(d, "3")->click();
    });
    EXPECT_EQ(settings.ReadSetting("STOPKA_SELECTION"), "3");
    EXPECT_EQ(settings.ReadSetting("STOPKA_POCZATEK"), "Hello");
    EXPECT_EQ(settings.ReadSetting("STOPKA_KONIEC"), "Theend");
    EXPECT_EQ(settings.ReadSetting("STOPKA_AUTO"), "1");
    EXPECT_EQ(Lines(doc(DocumentKind::Destination)),
              QStringList({" ", "{0}{}Hello", "{100}{150}a", "{200}{250}b", "{275}{}Bye"}));
    EXPECT_EQ(State(), "Destination Source: save saveas");

    // With a result shown there is nothing to stamp, and OK alone leaves the
    // result and Save as they were. A text typed alone is a change to store.
    Stamp([](QDialog* d) {
        EXPECT_FALSE(Button(d, "3")->isEnabled());
        EXPECT_FALSE(Button(d, "1")->isEnabled());
        QTest::keyClicks(Edit(d, "1028"), "!");
        Button(d, "1")->click();
        d->reject();
    });
    EXPECT_EQ(settings.ReadSetting("STOPKA_KONIEC"), "Theend!");
    EXPECT_EQ(State(), "Destination Source: save saveas");
}

TEST_F(RepairStampTest, AutomaticStampFollowsAnOperationInTheFilesOwnEncoding)
{
    settings.WriteSetting("STOPKA_AUTO", "1");
    settings.WriteSetting("STOPKA_SELECTION", "2");
    // "Poprawił Zentavo" as stored (UTF-8); the file is Windows-1250 ("ż" is BF).
    settings.WriteSetting("STOPKA_KONIEC", "Poprawi\xC5\x82 Zentavo");
    SetInstallerLanguage(1045);
    const std::string film = WriteFile("film.sub", "{30}{40}Mo\xBF" "e\r\n{10}{20}Tak\r\n");
    Repaired(ReadFile(film), "1033");
    SetInstallerLanguage(1033);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{10}{20}Tak\r\n{30}{40}Mo\xBF" "e\r\n{65}{}Poprawi\xB3 Zentavo\r\n");

    // A Windows-1252 file has no "ł": a plain question mark stands in. (The
    // encoding is told from the text, so the file has enough French in it.)
    const std::string french = "{30}{40}Caf\xE9 cr\xE8me br\xFBl\xE9" "e, tr\xE8s \xE9l\xE9gant\r\n";
    Repaired(french + "{10}{20}Tak\r\n", "1033");
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{10}{20}Tak\r\n" + french + "{65}{}Poprawi? Zentavo\r\n");

    // A UTF-8 file gets UTF-8 bytes.
    Repaired("{30}{40}Może\r\n{10}{20}Tak\r\n", "1033");
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{10}{20}Tak\r\n{30}{40}Może\r\n{65}{}Poprawi\xC5\x82 Zentavo\r\n");
}

} // namespace
} // namespace zv::app::test
