#include "app/dialogs/move_time_dialog.h"
#include "dialog_fixture.h"

#include <QGroupBox>
#include <QLabel>
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
    static QRadioButton* Radio(QWidget* d, const char* id) { return d->findChild<QRadioButton*>(id); }
    static bool OkOn(QWidget* d) { return d->findChild<QPushButton*>("1")->isEnabled(); }
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

TEST_F(MoveTimeDialogTest, TimeDialogScrollRulesClampsAndOkEnabling)
{
    auto d = Make<MoveTimeDialog>(zv::SubtitleFormat::SubRip);
    EXPECT_EQ(d->windowTitle(), "T19");
    EXPECT_EQ(Label(d.get(), "1000"), "film.txt");
    // Only the open file's format is offered.
    for (const char* id : {"1001", "1002", "1014", "1015", "1016", "1017"}) {
        EXPECT_EQ(Radio(d.get(), id)->isEnabled(), QString::fromLatin1(id) == "1016") << id;
        EXPECT_EQ(Radio(d.get(), id)->isChecked(), QString::fromLatin1(id) == "1016") << id;
    }
    EXPECT_EQ(Radio(d.get(), "1016")->text(), "00:00:00 --> 00:00:00");
    EXPECT_EQ(Label(d.get(), "1013"), "+ 00:00:00");
    EXPECT_FALSE(OkOn(d.get()));

    QScrollBar* seconds = Bar(d.get(), "1007");
    QScrollBar* minutes = Bar(d.get(), "1009");
    seconds->triggerAction(Action::SliderSingleStepAdd);
    EXPECT_EQ(Label(d.get(), "1008"), "1");
    EXPECT_TRUE(OkOn(d.get()));
    Repeat(seconds, Action::SliderSingleStepSub, 2); // 0, then held at 0
    EXPECT_EQ(d->seconds(), 0);
    EXPECT_EQ(seconds->value(), 0);
    EXPECT_FALSE(OkOn(d.get())); // all zero again

    Repeat(seconds, Action::SliderPageStepAdd, 7); // 10 a page, held at 59
    EXPECT_EQ(seconds->value(), 59);
    seconds->triggerAction(Action::SliderPageStepSub);
    minutes->setSliderPosition(37); // a thumb drag
    EXPECT_EQ(Label(d.get(), "1010"), "37");
    Bar(d.get(), "1011")->triggerAction(Action::SliderPageStepAdd); // hours page by 2
    EXPECT_EQ(Label(d.get(), "1013"), "+ 02:37:49");

    // Actions the rules do not know leave value and thumb alone.
    minutes->triggerAction(Action::SliderToMaximum);
    EXPECT_EQ(minutes->value(), 37);
    EXPECT_EQ(d->ShiftDelta(), ((2 * 60 + 37) * 60 + 49) * 10);
}

TEST_F(MoveTimeDialogTest, TimeDialogHoursNeverPassTheFormatsLimit)
{
    for (const auto& [format, limit] : {std::pair{zv::SubtitleFormat::Ssa, 3}, {zv::SubtitleFormat::SubRip, 5},
                                        {zv::SubtitleFormat::TmPlayer, 9}}) {
        SCOPED_TRACE(limit);
        auto d = Make<MoveTimeDialog>(format);
        QScrollBar* hours = Bar(d.get(), "1011");
        Repeat(hours, Action::SliderPageStepAdd, 6);
        hours->triggerAction(Action::SliderSingleStepAdd);
        EXPECT_EQ(d->hours(), limit);
        EXPECT_EQ(hours->value(), limit);
        EXPECT_EQ(hours->maximum(), limit);
        EXPECT_EQ(Label(d.get(), "1012"), QString::number(limit));
    }
}

TEST_F(MoveTimeDialogTest, DirectionFlipChangesOnlyTheSign)
{
    auto d = Make<MoveTimeDialog>(zv::SubtitleFormat::TmPlayer);
    Bar(d.get(), "1011")->setSliderPosition(1);
    Bar(d.get(), "1009")->setSliderPosition(5);
    Bar(d.get(), "1007")->setSliderPosition(9);
    Click(d.get(), "1004");
    EXPECT_EQ(Label(d.get(), "1013"), "- 01:05:09");
    EXPECT_EQ(d->ShiftDelta(), -39090);
    // Later scrolling keeps the chosen direction.
    Bar(d.get(), "1007")->triggerAction(Action::SliderSingleStepAdd);
    EXPECT_EQ(Label(d.get(), "1013"), "- 01:05:10");
    Click(d.get(), "1003");
    EXPECT_EQ(Label(d.get(), "1013"), "+ 01:05:10");
    EXPECT_EQ(d->ShiftDelta(), 39100);
}

TEST_F(MoveTimeDialogTest, FramesDialogSpeaksInTheFormatsUnit)
{
    const std::tuple<zv::SubtitleFormat, const char*, const char*, const char*, const char*> cases[] = {
        {zv::SubtitleFormat::MicroDvd, "T26", "T232", "1005", "1006"},
        {zv::SubtitleFormat::Mpl2, "T230", "T231", "1006", "1005"}};
    for (const auto& [format, unitTitle, unit, formatOn, formatOff] : cases) {
        auto d = Make<MoveFramesDialog>(format);
        EXPECT_EQ(d->findChild<QGroupBox*>("1036")->title(), unitTitle);
        EXPECT_EQ(Label(d.get(), "1013"), QStringLiteral("+0 ") + unit);
        EXPECT_TRUE(Radio(d.get(), formatOn)->isChecked() && !Radio(d.get(), formatOff)->isEnabled());
        // Before any amount the template text flips its sign too.
        Click(d.get(), "1004");
        EXPECT_EQ(Label(d.get(), "1013"), QStringLiteral("-0 ") + unit);
        Bar(d.get(), "1017")->triggerAction(Action::SliderPageStepAdd);
        EXPECT_EQ(Label(d.get(), "1013"), QStringLiteral("- 10 ") + unit);
    }
}

TEST_F(MoveTimeDialogTest, FramesCountGoesPastTheEndOfTheBar)
{
    auto d = Make<MoveFramesDialog>(zv::SubtitleFormat::MicroDvd);
    QScrollBar* bar = Bar(d.get(), "1017");
    bar->triggerAction(Action::SliderSingleStepSub);
    EXPECT_EQ(d->count(), 0); // held at 0
    EXPECT_FALSE(OkOn(d.get()));

    bar->setSliderPosition(30000);
    Repeat(bar, Action::SliderSingleStepAdd, 3);
    bar->triggerAction(Action::SliderPageStepAdd);
    EXPECT_EQ(bar->value(), 30000); // the thumb stays at the end
    EXPECT_EQ(Label(d.get(), "1018"), "30013");
    EXPECT_EQ(Label(d.get(), "1013"), "+ 30013 T232");
    EXPECT_TRUE(OkOn(d.get()));
    // Stepping back counts down from the real count, not from the thumb.
    bar->triggerAction(Action::SliderPageStepSub);
    Click(d.get(), "1004");
    EXPECT_EQ(d->ShiftDelta(), -30003);
    bar->setSliderPosition(120); // a thumb drag takes the reported position
    EXPECT_EQ(Label(d.get(), "1013"), "- 120 T232");
}

TEST_F(MoveTimeDialogTest, F1OpensTheHelpAtMoveTime)
{
    settings.WriteSetting("HELP_FILE_PATH", WriteFile("help.html", "<p style=\"margin-top:2000px\">"
                                                                   "<a name=\"move-time-command\"></a>Move time</p>"));
    auto d = Make<MoveFramesDialog>(zv::SubtitleFormat::MicroDvd);
    QTest::keyClick(Bar(d.get(), "1017"), Qt::Key_F1);
    const auto viewers = TopLevels<QTextBrowser>(QStringLiteral("HelpViewer"));
    ASSERT_EQ(viewers.size(), 1u);
    EXPECT_EQ(viewers.front()->source().fragment(), "move-time-command");
    EXPECT_TRUE(d->isVisible()); // help does not end the dialog
}

TEST_F(MoveTimeDialogTest, OkClosesTheDialogThenTheMoveAsksAboutRecordsBeforeZero)
{
    // A MicroDvd file opened as the frame opens it, to be moved 50 frames
    // earlier: its first record would start before 0.
    const std::string source = WriteFile("film.txt", "{10}{20}Early\r\n{100}{150}Hello\r\n{200}{260}World\r\n");
    auto run = [&](zv::Answer answer) {
        bool readOk = false;
        handler = zv::OpenFormatHandler(*qctx, zv::SubtitleFormat::MicroDvd, source, readOk);
        MoveFramesDialog d(*qctx, *handler, zv::SubtitleFormat::MicroDvd, QStringLiteral("film.txt"), nullptr);
        d.show();
        Bar(&d, "1017")->setSliderPosition(50);
        Click(&d, "1004");
        // The question comes from the progress window, after the dialog has gone.
        onMessage = [&](const Shown& s) {
            EXPECT_FALSE(d.isVisible());
            EXPECT_NE(qobject_cast<ProgressDialog*>(s.window), nullptr);
        };
        shown.clear();
        answers = {answer};
        Click(&d, "1");
        onMessage = nullptr;
        Flush();
        EXPECT_EQ(Messages(), std::vector<std::string>({"T44: T70"}));
    };

    // Cancel ends the progress window without a result and without a
    // "cannot open" about the output that was never written.
    run(zv::Answer::Cancel);
    EXPECT_EQ(qctx->OperationDoneFlag, 0);
    EXPECT_TRUE(TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")).empty());
    EXPECT_FALSE(zv::FileExists(ws().OutputStandardFile));

    run(zv::Answer::Ok);
    EXPECT_EQ(qctx->OperationDoneFlag, 1);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{50}{100}Hello\r\n{150}{210}World\r\n");
    const auto progress = TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow"));
    ASSERT_EQ(progress.size(), 1u); // the summary waits for the user's OK
    EXPECT_EQ(progress[0]->status()->text(), "T50 1 \n\nT25");
}

} // namespace
} // namespace zv::app::test
