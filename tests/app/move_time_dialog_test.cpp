#include "app/dialogs/move_time_dialog.h"
#include "dialog_fixture.h"
#include "engine/file_io.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

namespace zv::app::test {
namespace {

using Action = QAbstractSlider::SliderAction;

class MoveTimeDialogTest : public DialogTest {
protected:
    template <typename D>
    std::unique_ptr<D> Make(zv::SubtitleFormat format)
    {
        handler = zv::MakeFormatHandler(*qctx, format);
        auto dialog = std::make_unique<D>(*qctx, *handler, format, QStringLiteral("film.txt"), nullptr);
        dialog->show();
        return dialog;
    }
    static QScrollBar* Bar(QWidget* d, const char* id) { return d->findChild<QScrollBar*>(id); }
    static QString Label(QWidget* d, const char* id) { return d->findChild<QLabel*>(id)->text(); }
    static QPushButton* Ok(QWidget* d) { return d->findChild<QPushButton*>("1"); }
    // Near the left edge: a radio button takes clicks on its mark and label only.
    static void Click(QWidget* d, const char* id)
    {
        QWidget* w = d->findChild<QWidget*>(id);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
    }
    static void Repeat(QScrollBar* bar, Action action, int times)
    {
        for (int i = 0; i < times; ++i)
            bar->triggerAction(action);
    }

    std::unique_ptr<zv::FormatHandler> handler;
};

TEST_F(MoveTimeDialogTest, TimeDialogShowsItsTextsAndOnlyTheOpenFilesFormat)
{
    auto d = Make<MoveTimeDialog>(zv::SubtitleFormat::SubRip);
    EXPECT_EQ(d->objectName(), "104");
    EXPECT_EQ(d->windowTitle(), "T19");
    EXPECT_EQ(Label(d.get(), "1000"), "film.txt");
    const std::pair<const char*, const char*> groups[] = {{"1032", "T8"},  {"1033", "T9"},  {"1034", "T10"},
                                                          {"1035", "T11"}, {"1036", "T12"}, {"1037", "T13"},
                                                          {"1038", "T14"}};
    for (const auto& [id, title] : groups)
        EXPECT_EQ(d->findChild<QGroupBox*>(id)->title(), title) << id;
    for (const char* id : {"1001", "1002", "1014", "1015", "1016", "1017"}) {
        auto* radio = d->findChild<QRadioButton*>(id);
        const bool subRip = QString::fromLatin1(id) == "1016";
        EXPECT_EQ(radio->isEnabled(), subRip) << id;
        EXPECT_EQ(radio->isChecked(), subRip) << id;
    }
    EXPECT_EQ(d->findChild<QRadioButton*>("1016")->text(), "00:00:00 --> 00:00:00");
    EXPECT_TRUE(d->findChild<QRadioButton*>("1003")->isChecked());
    EXPECT_EQ(d->findChild<QRadioButton*>("1003")->text(), "T15");
    EXPECT_EQ(d->findChild<QRadioButton*>("1004")->text(), "T16");
    EXPECT_EQ(Label(d.get(), "1013"), "+ 00:00:00");
    EXPECT_EQ(Bar(d.get(), "1007")->maximum(), 59);
    EXPECT_EQ(Bar(d.get(), "1009")->maximum(), 59);
    EXPECT_EQ(Bar(d.get(), "1011")->maximum(), 5);
    EXPECT_EQ(Ok(d.get())->text(), "T20");
    EXPECT_EQ(d->findChild<QPushButton*>("2")->text(), "T21");
    EXPECT_FALSE(Ok(d.get())->isEnabled());
}

TEST_F(MoveTimeDialogTest, TimeDialogScrollRulesClampsAndOkEnabling)
{
    auto d = Make<MoveTimeDialog>(zv::SubtitleFormat::SubRip);
    QScrollBar* seconds = Bar(d.get(), "1007");
    QScrollBar* minutes = Bar(d.get(), "1009");
    QScrollBar* hours = Bar(d.get(), "1011");

    seconds->triggerAction(Action::SliderSingleStepAdd);
    EXPECT_EQ(d->seconds(), 1);
    EXPECT_EQ(Label(d.get(), "1008"), "1");
    EXPECT_TRUE(Ok(d.get())->isEnabled());
    Repeat(seconds, Action::SliderSingleStepSub, 2); // 0, then held at 0
    EXPECT_EQ(d->seconds(), 0);
    EXPECT_EQ(seconds->value(), 0);
    EXPECT_FALSE(Ok(d.get())->isEnabled()); // all zero again

    Repeat(seconds, Action::SliderPageStepAdd, 7); // 10 a page, held at 59
    EXPECT_EQ(d->seconds(), 59);
    EXPECT_EQ(seconds->value(), 59);
    seconds->triggerAction(Action::SliderPageStepSub);
    EXPECT_EQ(d->seconds(), 49);

    minutes->setSliderPosition(37); // a thumb drag
    EXPECT_EQ(d->minutes(), 37);
    EXPECT_EQ(Label(d.get(), "1010"), "37");

    // Hours page by 2 and stop at 10 - 5 for SubRip.
    hours->triggerAction(Action::SliderPageStepAdd);
    EXPECT_EQ(d->hours(), 2);
    Repeat(hours, Action::SliderPageStepAdd, 3);
    EXPECT_EQ(d->hours(), 5);
    EXPECT_EQ(hours->value(), 5);
    EXPECT_EQ(Label(d.get(), "1012"), "5");
    EXPECT_EQ(Label(d.get(), "1013"), "+ 05:37:49");

    // Actions the rules do not know leave value and thumb alone.
    minutes->triggerAction(Action::SliderToMaximum);
    EXPECT_EQ(d->minutes(), 37);
    EXPECT_EQ(minutes->value(), 37);
    EXPECT_EQ(d->ShiftDelta(), ((5 * 60 + 37) * 60 + 49) * 10);
}

TEST_F(MoveTimeDialogTest, TimeDialogHoursNeverPassTheFormatsLimit)
{
    auto d = Make<MoveTimeDialog>(zv::SubtitleFormat::Ssa);
    QScrollBar* hours = Bar(d.get(), "1011");
    EXPECT_EQ(hours->maximum(), 3);
    hours->setSliderPosition(3);
    EXPECT_EQ(d->hours(), 3);
    hours->triggerAction(Action::SliderSingleStepAdd);
    EXPECT_EQ(d->hours(), 3);
    EXPECT_EQ(Label(d.get(), "1012"), "3");

    auto tm = Make<MoveTimeDialog>(zv::SubtitleFormat::TmPlayer);
    Repeat(Bar(tm.get(), "1011"), Action::SliderPageStepAdd, 6);
    EXPECT_EQ(tm->hours(), 9);
}

TEST_F(MoveTimeDialogTest, DirectionFlipChangesOnlyTheSign)
{
    auto d = Make<MoveTimeDialog>(zv::SubtitleFormat::TmPlayer);
    Bar(d.get(), "1011")->setSliderPosition(1);
    Bar(d.get(), "1009")->setSliderPosition(5);
    Bar(d.get(), "1007")->setSliderPosition(9);
    EXPECT_EQ(Label(d.get(), "1013"), "+ 01:05:09");
    Click(d.get(), "1004");
    EXPECT_EQ(Label(d.get(), "1013"), "- 01:05:09");
    EXPECT_FALSE(d->findChild<QRadioButton*>("1003")->isChecked());
    EXPECT_EQ(d->ShiftDelta(), -39090);
    // Later scrolling keeps the chosen direction.
    Bar(d.get(), "1007")->triggerAction(Action::SliderSingleStepAdd);
    EXPECT_EQ(Label(d.get(), "1013"), "- 01:05:10");
    Click(d.get(), "1003");
    EXPECT_EQ(Label(d.get(), "1013"), "+ 01:05:10");
    EXPECT_EQ(d->ShiftDelta(), 39100);

    // Before any amount the template text flips the same way.
    auto f = Make<MoveFramesDialog>(zv::SubtitleFormat::MicroDvd);
    Click(f.get(), "1004");
    EXPECT_EQ(Label(f.get(), "1013"), "-0 T232");
}

TEST_F(MoveTimeDialogTest, FramesDialogTextsPerFormat)
{
    auto d = Make<MoveFramesDialog>(zv::SubtitleFormat::MicroDvd);
    EXPECT_EQ(d->objectName(), "106");
    EXPECT_EQ(d->findChild<QGroupBox*>("1035")->title(), "T27");
    EXPECT_EQ(d->findChild<QGroupBox*>("1036")->title(), "T26");
    EXPECT_EQ(Label(d.get(), "1013"), "+0 T232");
    EXPECT_TRUE(d->findChild<QRadioButton*>("1005")->isChecked());
    EXPECT_FALSE(d->findChild<QRadioButton*>("1006")->isEnabled());
    EXPECT_EQ(Bar(d.get(), "1017")->maximum(), 30000);
    EXPECT_FALSE(Ok(d.get())->isEnabled());

    auto m = Make<MoveFramesDialog>(zv::SubtitleFormat::Mpl2);
    EXPECT_EQ(m->findChild<QGroupBox*>("1036")->title(), "T230");
    EXPECT_EQ(Label(m.get(), "1013"), "+0 T231");
    EXPECT_TRUE(m->findChild<QRadioButton*>("1006")->isChecked());
    EXPECT_FALSE(m->findChild<QRadioButton*>("1005")->isEnabled());
    Bar(m.get(), "1017")->triggerAction(Action::SliderPageStepAdd);
    EXPECT_EQ(Label(m.get(), "1013"), "+ 10 T231");
}

TEST_F(MoveTimeDialogTest, FramesCountGoesPastTheEndOfTheBar)
{
    auto d = Make<MoveFramesDialog>(zv::SubtitleFormat::MicroDvd);
    QScrollBar* bar = Bar(d.get(), "1017");
    bar->triggerAction(Action::SliderSingleStepSub);
    EXPECT_EQ(d->count(), 0); // held at 0
    EXPECT_FALSE(Ok(d.get())->isEnabled());

    bar->setSliderPosition(30000);
    Repeat(bar, Action::SliderSingleStepAdd, 3);
    bar->triggerAction(Action::SliderPageStepAdd);
    EXPECT_EQ(d->count(), 30013);
    EXPECT_EQ(bar->value(), 30000); // the thumb stays at the end
    EXPECT_EQ(Label(d.get(), "1018"), "30013");
    EXPECT_EQ(Label(d.get(), "1013"), "+ 30013 T232");
    EXPECT_TRUE(Ok(d.get())->isEnabled());
    // Stepping back counts down from the real count, not from the thumb.
    bar->triggerAction(Action::SliderPageStepSub);
    EXPECT_EQ(d->count(), 30003);
    Click(d.get(), "1004");
    EXPECT_EQ(d->ShiftDelta(), -30003);

    bar->setSliderPosition(120); // a thumb drag takes the reported position
    EXPECT_EQ(d->count(), 120);
    EXPECT_EQ(Label(d.get(), "1013"), "- 120 T232");
}

TEST_F(MoveTimeDialogTest, F1OpensTheHelpAtMoveTime)
{
    const std::string help = WriteFile("help.html", "<html><body><a name=\"contents\"></a>Contents"
                                                    "<p style=\"margin-top:2000px\"><a name=\"move-time-command\">"
                                                    "</a>Move time</p></body></html>");
    settings.WriteSetting("HELP_FILE_PATH", help);
    auto d = Make<MoveFramesDialog>(zv::SubtitleFormat::MicroDvd);
    QTest::keyClick(Bar(d.get(), "1017"), Qt::Key_F1);
    const auto viewers = TopLevels<QTextBrowser>(QStringLiteral("HelpViewer"));
    ASSERT_EQ(viewers.size(), 1u);
    EXPECT_EQ(viewers.front()->source().fragment(), "move-time-command");
    EXPECT_TRUE(d->isVisible()); // help does not end the dialog
}

class MoveTimeRunTest : public MoveTimeDialogTest {
protected:
    // A MicroDvd file opened as the frame opens it, then the frames dialog
    // set to move it 50 frames earlier.
    std::unique_ptr<MoveFramesDialog> Prepare()
    {
        const std::string source = WriteFile("film.txt", "{10}{20}Early\r\n{100}{150}Hello\r\n{200}{260}World\r\n");
        bool readOk = false;
        handler = zv::OpenFormatHandler(*qctx, zv::SubtitleFormat::MicroDvd, source, readOk);
        EXPECT_TRUE(readOk);
        auto d = std::make_unique<MoveFramesDialog>(*qctx, *handler, zv::SubtitleFormat::MicroDvd,
                                                    QStringLiteral("film.txt"), nullptr);
        d->show();
        Bar(d.get(), "1017")->setSliderPosition(50);
        Click(d.get(), "1004");
        qhost.SetMessageHook([this, dialog = d.get()](const MessageRequest& r) -> std::optional<zv::Answer> {
            dialogVisibleAtQuestion = dialog->isVisible();
            shown.push_back({r, qhost.OwnerWidget(r.owner)});
            const zv::Answer a = answers.empty() ? zv::Answer::Ok : answers.front();
            if (!answers.empty())
                answers.pop_front();
            return a;
        });
        return d;
    }
    bool dialogVisibleAtQuestion = true;
};

TEST_F(MoveTimeRunTest, OkClosesTheDialogThenMovesTheFileIntoTheWorkingCopy)
{
    auto d = Prepare();
    Click(d.get(), "1");
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(d->result(), QDialog::Accepted);

    // The early record would start before 0: the question comes from the
    // progress window, after the dialog has gone.
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.text, "T70");
    EXPECT_FALSE(dialogVisibleAtQuestion);
    auto* progress = qobject_cast<ProgressDialog*>(shown[0].owner);
    ASSERT_NE(progress, nullptr);

    EXPECT_EQ(qctx->OperationDoneFlag, 1);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{50}{100}Hello\r\n{150}{210}World\r\n");
    Flush();
    EXPECT_TRUE(progress->isVisible()); // waits for the user's OK
    EXPECT_EQ(progress->windowTitle(), "T24");
    EXPECT_TRUE(progress->findChild<QPushButton*>("1")->isEnabled());
    EXPECT_EQ(progress->findChild<QLabel*>("1016")->text(), "T50 1 \n\nT25");
}

TEST_F(MoveTimeRunTest, CancelAtTheQuestionEndsTheProgressWindowWithoutResult)
{
    auto d = Prepare();
    answers = {zv::Answer::Cancel};
    Click(d.get(), "1");
    Flush();
    EXPECT_EQ(qctx->OperationDoneFlag, 0);
    EXPECT_TRUE(TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")).empty());
    EXPECT_FALSE(zv::FileExists(ws().OutputStandardFile));
    // The writer is not run on the missing output: no "cannot open" after a cancel.
    EXPECT_EQ(shown.size(), 1u);
}

} // namespace
} // namespace zv::app::test
