// Convert, AVI information and Subtitle information: the dialogs' rules and
// the bytes each command leaves in the destination window.
#include "app/dialogs/avi_info_dialog.h"
#include "app/dialogs/convert_dialog.h"
#include "app/dialogs/subtitle_info_dialog.h"
#include "frame_fixture.h"
#include "support/avi_writer.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace zv::app::test {
using qt::ProgressDialog;

namespace {

using zv::test::AviFields;
using zv::test::AviFile;

QRadioButton* Radio(QWidget* d, const char* id) { return d->findChild<QRadioButton*>(id); }
QString Text(QWidget* d, const char* id) { return d->findChild<QLabel*>(id)->text(); }
QLineEdit* Edit(QWidget* d, const char* id) { return d->findChild<QLineEdit*>(id); }
// OK of a dialog; the Ssa panel has a button "1" of its own.
QPushButton* Ok(QWidget* d)
{
    for (auto* b : d->findChildren<QPushButton*>(QStringLiteral("1")))
        if (b->parentWidget()->objectName() != "197")
            return b;
    return nullptr;
}

class ConvertTest : public FrameTest {
protected:
    // Runs Convert from the frame; drive works the dialog while it is up.
    void RunConvert(const std::function<void(ConvertDialog*)>& drive)
    {
        RunModal(cmd::Convert, [&](QDialog* dialog) {
            auto* d = qobject_cast<ConvertDialog*>(dialog);
            ASSERT_NE(d, nullptr);
            drive(d);
        });
        // The pass's summary waits for its OK.
        for (ProgressDialog* p : TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")))
            p->okButton()->click();
        Flush();
    }
    std::string Result() const { return ReadFile(ws().WorkingCopy); }
};

TEST_F(ConvertTest, TargetsFrameRateAndPanelFollowTheChoice)
{
    settings.WriteSetting("_SSA_CONVERT__FONT_NAME", "Arial");
    settings.WriteSetting("_SSA_CONVERT__FONT_SIZE", "20");
    ConvertDialog d(*qctx, zv::SubtitleFormat::SubRip, QStringLiteral("film.srt"), nullptr);
    d.show();
    EXPECT_EQ(Text(&d, "1000"), "film.srt");
    EXPECT_TRUE(Radio(&d, "1009")->isChecked() && Radio(&d, "1009")->isEnabled());
    EXPECT_FALSE(Radio(&d, "1001")->isEnabled());
    EXPECT_FALSE(Radio(&d, "1010")->isEnabled()); // not into its own format
    EXPECT_FALSE(Ok(&d)->isEnabled());
    EXPECT_EQ(Edit(&d, "1023")->text(), "25.00000");

    // The rate matters only when MicroDvd is on one side.
    const std::pair<const char*, bool> choices[] = {{"1008", false}, {"1006", true}, {"1004", false}};
    for (const auto& [id, rate] : choices) {
        ClickChild(&d, id);
        EXPECT_TRUE(Radio(&d, id)->isChecked()) << id;
        EXPECT_EQ(Edit(&d, "1023")->isEnabled(), rate) << id;
        EXPECT_EQ(d.findChild<QPushButton*>("1109")->isEnabled(), rate) << id;
    }
    EXPECT_EQ(d.findChildren<QRadioButton*>().size(), 16);
    EXPECT_FALSE(Radio(&d, "1006")->isChecked() || Radio(&d, "1008")->isChecked());
    EXPECT_TRUE(Ok(&d)->isEnabled());

    // Ssa brings the panel with the stored style; the dialog grows beside it.
    const int narrow = d.width();
    EXPECT_FALSE(d.panel()->isVisible());
    ClickChild(&d, "1016");
    Flush();
    ASSERT_TRUE(d.panel()->isVisible());
    EXPECT_GT(d.width(), narrow);
    EXPECT_EQ(d.panel()->edit(0)->text(), "Arial");
    EXPECT_EQ(d.panel()->edit(1)->text(), "20");
    // A comma cannot be typed into the font name; digits only in the numbers.
    d.panel()->edit(0)->clear();
    QTest::keyClicks(d.panel()->edit(0), "Liberation, Sans");
    EXPECT_EQ(d.panel()->edit(0)->text(), "Liberation Sans");
    d.panel()->edit(2)->clear();
    QTest::keyClicks(d.panel()->edit(2), "-4x2");
    EXPECT_EQ(d.panel()->edit(2)->text(), "42");
    d.panel()->edit(3)->clear(); // an empty number keeps its default
    // Another target stores the panel and hides it.
    ClickChild(&d, "1012");
    EXPECT_FALSE(d.panel()->isVisible());
    EXPECT_EQ(settings.ReadSetting("_SSA_CONVERT__FONT_NAME"), "Liberation Sans");
    EXPECT_EQ(settings.ReadSetting("_SSA_CONVERT__OUTLINE"), "42");
    EXPECT_EQ(settings.ReadSetting("_SSA_CONVERT__SHADOW"), "0");

    // Restore defaults fills the edits; Cancel stores them.
    ClickChild(&d, "1016");
    d.panel()->findChild<QPushButton*>("1")->click();
    EXPECT_EQ(d.panel()->edit(0)->text(), "Times New Roman CE");
    EXPECT_EQ(d.panel()->edit(0)->cursorPosition(), 0); // shown from its start
    d.findChild<QPushButton*>("2")->click();
    EXPECT_EQ(settings.ReadSetting("_SSA_CONVERT__FONT_NAME"), "Times New Roman CE");
    EXPECT_EQ(d.target(), zv::SubtitleFormat::None);
}

TEST_F(ConvertTest, MicroDvdToSubRipAtTheRateOfAnAviFile)
{
    const std::string film = WriteFile("film.sub", "{240}{480}Ten seconds\r\n{2398}{2500}Hundred\r\n");
    const std::string video = WriteFile("film.avi", AviFile({.scale = 1001, .rate = 24000}));
    OpenFile(film);
    RunConvert([&](ConvertDialog* d) {
        ClickChild(d, "1010");
        // The AVI dialog opens over Convert and hands the rate back.
        QTimer::singleShot(0, [&] {
            auto* avi = qobject_cast<AviInfoDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(avi, nullptr);
            files.push_back(QString::fromStdString(video));
            avi->findChild<QPushButton*>("1032")->click();
            EXPECT_EQ(Text(avi, "1091"), "23.976024");
            EXPECT_EQ(Text(avi, "1089"), "1001");
            EXPECT_EQ(Text(avi, "1093"), "AVI");
            Ok(avi)->click();
        });
        d->findChild<QPushButton*>("1109")->click();
        EXPECT_EQ(Edit(d, "1023")->text(), "23.976024");
        Ok(d)->click();
    });
    // Frames over 23.976024 in whole tenths: 240 -> 100.1, 2500 -> 1042.7.
    EXPECT_EQ(Result(), "1\r\n00:00:10,000 --> 00:00:20,000\r\nTen seconds\r\n\r\n"
                        "2\r\n00:01:40,000 --> 00:01:44,200\r\nHundred\r\n\r\n");
    EXPECT_EQ(Lines(doc(DocumentKind::Destination)).at(2), "00:00:10,000 --> 00:00:20,000");
    EXPECT_EQ(settings.ReadSetting("_AVI_SYNCHRO_LASTFILE_"), video);
    EXPECT_EQ(State(), "Destination Source: save saveas");
    // The source file is untouched and nothing else runs over the shown result.
    EXPECT_EQ(ReadFile(film), "{240}{480}Ten seconds\r\n{2398}{2500}Hundred\r\n");
    frame->Dispatch(cmd::Convert);
    frame->Dispatch(cmd::MoveTime);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    files.push_back(QString::fromStdString(Path("film.srt")));
    frame->Dispatch(cmd::SaveAs);
    Flush();
    EXPECT_EQ(ReadFile(Path("film.srt")).substr(0, 3), "1\r\n");
}

TEST_F(ConvertTest, SsaTargetUsesThePanelAndTheLossyQuestionAsksBothWays)
{
    OpenFile(WriteFile("film.srt", "1\r\n00:00:12,500 --> 00:00:21,300\r\nHello\r\nWorld\r\n\r\n"));
    RunConvert([&](ConvertDialog* d) {
        ClickChild(d, "1016");
        d->panel()->edit(0)->setText(QStringLiteral("DejaVu Sans"));
        d->panel()->edit(4)->setText(QStringLiteral("480"));
        Ok(d)->click();
    });
    const std::string ssa = Result();
    EXPECT_NE(ssa.find("PlayResY: 480\r\n"), std::string::npos);
    EXPECT_NE(ssa.find("Style: NORMAL,DejaVu Sans,28,16777215,65535,65535,0,1,0,1,3,0,2,30,30,10,0,238\r\n"),
              std::string::npos);
    EXPECT_NE(ssa.find("\r\nDialogue: Marked=0,0:00:12.50,0:00:21.30,NORMAL,00,0000,0000,0000,,Hello\\nWorld\r\n"),
              std::string::npos);
    EXPECT_EQ(settings.ReadSetting("_SSA_CONVERT__FONT_NAME"), "DejaVu Sans");
    answers = {zv::Answer::Yes}; // close the unsaved result
    Close(DocumentKind::Destination);
    shown.clear();

    // Into TmPlayer the end times go: No keeps the dialog, Yes converts.
    answers = {zv::Answer::No, zv::Answer::Yes};
    RunConvert([&](ConvertDialog* d) {
        ClickChild(d, "1004");
        Ok(d)->click();
        EXPECT_TRUE(d->isVisible());
        Ok(d)->click();
        EXPECT_FALSE(d->isVisible());
    });
    EXPECT_EQ(Messages(), std::vector<std::string>({"T71: T72", "T71: T72"}));
    EXPECT_EQ(Result(), "00:00:12:Hello|World\r\n");
}

TEST_F(ConvertTest, FrameRateMustBeANumberAboveZero)
{
    OpenFile(WriteFile("film.sub", "{250}{500}Ten\r\n"));
    RunConvert([&](ConvertDialog* d) {
        ClickChild(d, "1008");
        EXPECT_TRUE(Edit(d, "1023")->isEnabled()); // a MicroDvd source always needs the rate
        ClickChild(d, "1010");
        for (const char* bad : {"", "0", "abc"}) {
            Edit(d, "1023")->setText(QString::fromLatin1(bad));
            Ok(d)->click();
            EXPECT_TRUE(d->isVisible()) << bad;
        }
        Edit(d, "1023")->setText(QStringLiteral("23,976")); // a comma desktop's way
        Ok(d)->click();
    });
    EXPECT_EQ(Messages(), std::vector<std::string>(3, "T73: T74"));
    // 250 and 500 frames at 23.976: 104.3 and 208.5 tenths, truncated.
    EXPECT_EQ(Result(), "1\r\n00:00:10,400 --> 00:00:20,800\r\nTen\r\n\r\n");
}

TEST_F(ConvertTest, AviDialogShowsUnsignedFieldsAndHandsBackOnlyAfterOk)
{
    const std::string noRate = WriteFile("still.avi", AviFile({.maxBytesPerSecond = 3000000000u, .scale = 0}));
    const std::string bad = WriteFile("bad.avi", "RIFF....WAVE");
    AviInfoDialog d(*qctx, nullptr, QString::fromStdString(noRate));
    d.show();
    Flush(); // the given path loads at once
    EXPECT_EQ(Text(&d, "1045").toStdString(), noRate);
    EXPECT_EQ(Text(&d, "1085"), "3000000000");
    EXPECT_EQ(Text(&d, "1091"), ""); // no scale, no frame rate: nothing to hand on

    const std::string ntsc = WriteFile("ntsc.avi", AviFile({.scale = 1001, .rate = 30000, .audio = true}));
    files.push_back(QString::fromStdString(ntsc));
    d.findChild<QPushButton*>("1032")->click();
    EXPECT_EQ(Text(&d, "1091"), "29.970030");
    EXPECT_EQ(Text(&d, "1086"), "2");
    // The next open dialog starts at the last file loaded.
    d.findChild<QPushButton*>("1032")->click();
    EXPECT_EQ(dialogs.back().folder.toStdString(), ntsc);

    // A file it cannot read leaves nothing of the one before (least of all its
    // frame rate for OK to hand on) and the setting alone.
    files.push_back(QString::fromStdString(bad));
    d.findChild<QPushButton*>("1095")->click();
    EXPECT_EQ(Messages(), std::vector<std::string>({"T52: T254"}));
    EXPECT_EQ(shown.back().window, &d);
    for (const char* value : {"1085", "1086", "1087", "1088", "1089", "1090", "1091", "1092", "1093"})
        EXPECT_EQ(Text(&d, value), "") << value;
    EXPECT_EQ(settings.ReadSetting("_AVI_SYNCHRO_LASTFILE_"), ntsc);
    d.accept();
    EXPECT_EQ(d.result(), "");
}

TEST_F(ConvertTest, InformationCountsEachFileByItsOwnFormat)
{
    // 2,048 bytes of MicroDvd: 2.00 kb.
    std::string micro;
    for (int i = 0; micro.size() < 1800; ++i)
        micro += "{" + std::to_string(i * 10 + 100) + "}{" + std::to_string(i * 10 + 105) + "}Line\r\n";
    micro += "{9000}{9010}" + std::string(2048 - micro.size() - 14, 'x') + "\r\n";
    ASSERT_EQ(micro.size(), 2048u);
    const std::string film = WriteFile("film.sub", micro);
    OpenFile(film);
    ShowResult("1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\nTwo\r\n\r\n"
               "2\r\n00:00:03,000 --> 00:00:04,000\r\nThree\r\n\r\n");

    // Runs the information command; drive works the dialog while it is up.
    auto runInfo = [&](int command, const std::function<void(SubtitleInfoDialog*)>& drive) {
        bool driven = false;
        // After Open the dialog comes from a posted command: wait for it.
        int tries = 0;
        std::function<void()> poll = [&] {
            auto* d = qobject_cast<SubtitleInfoDialog*>(QApplication::activeModalWidget());
            if (!d) {
                if (++tries < 20)
                    QTimer::singleShot(0, poll);
                return;
            }
            driven = true;
            drive(d);
        };
        QTimer::singleShot(0, poll);
        if (command == cmd::Open)
            OpenFile(WriteFile("two.sub", "{1}{2}a\r\n{3}{4}b\r\n"));
        else
            frame->Dispatch(command);
        Flush();
        EXPECT_TRUE(driven);
    };
    runInfo(cmd::SubtitleInformation, [&](SubtitleInfoDialog* d) {
        auto* list = d->findChild<QListWidget*>("1116");
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->text().toStdString(), "T117\t" + film);
        EXPECT_EQ(d->count(1), 2); // the SubRip result by its own rule
        EXPECT_EQ(Text(d, "1085"), "");
        list->setCurrentRow(0);
        EXPECT_EQ(Text(d, "1085"), "2.00 kb");
        EXPECT_EQ(Text(d, "1090"), "T320");
        list->setCurrentRow(1);
        EXPECT_EQ(Text(d, "1086"), "2");
        EXPECT_EQ(Text(d, "1090"), "T322");
        d->findChild<QCheckBox*>("1118")->setChecked(true);
        d->reject(); // Esc keeps the box's state too
    });
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_6"), "");
    // The open file is described as it was read, even when it has changed on disk since.
    WriteFile("film.sub", "x");
    runInfo(cmd::SubtitleInformation, [&](SubtitleInfoDialog* d) {
        EXPECT_GT(d->count(0), 100);
        d->findChild<QListWidget*>("1116")->setCurrentRow(0);
        EXPECT_EQ(Text(d, "1085"), "2.00 kb");
        EXPECT_EQ(Text(d, "1090"), "T320");
        d->accept();
    });
    // An empty result has no subtitles.
    ShowResult("");
    runInfo(cmd::SubtitleInformation, [&](SubtitleInfoDialog* d) {
        EXPECT_EQ(d->count(1), 0);
        d->accept();
    });
    answers = {zv::Answer::Yes}; // close the unsaved result
    Close(DocumentKind::Destination);

    // After an Open that read the file it comes by itself, until unticked.
    runInfo(cmd::Open, [&](SubtitleInfoDialog* d) {
        EXPECT_EQ(d->count(0), 2);
        d->findChild<QCheckBox*>("1118")->setChecked(false);
        d->findChild<QPushButton*>("1")->click();
    });
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_6"), "1");
    OpenFile(film);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace zv::app::test
