// Move time: the two dialogs' scroll rules and texts, and the command from
// the frame through the dialog, the progress window and Save.
#include "app/dialogs/move_time_dialog.h"
#include "frame_fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace zv::app::test {
using qt::ProgressDialog;

namespace {

using Action = QAbstractSlider::SliderAction;

QScrollBar* Bar(QWidget* d, const char* id) { return d->findChild<QScrollBar*>(id); }
QString Label(QWidget* d, const char* id) { return d->findChild<QLabel*>(id)->text(); }
QRadioButton* Radio(QWidget* d, const char* id) { return d->findChild<QRadioButton*>(id); }
bool OkOn(QWidget* d) { return d->findChild<QPushButton*>("1")->isEnabled(); }
void Repeat(QScrollBar* bar, Action action, int times)
{
    for (int i = 0; i < times; ++i)
        bar->triggerAction(action);
}

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

    std::unique_ptr<zv::FormatHandler> handler;
};

TEST_F(MoveTimeDialogTest, TimeDialogScrollRulesClampsOkEnablingAndDirection)
{
    auto d = Make<MoveTimeDialog>(zv::SubtitleFormat::SubRip);
    EXPECT_EQ(Label(d.get(), "1000"), "film.txt");
    // Only the open file's format is offered.
    for (const char* id : {"1001", "1002", "1014", "1015", "1016", "1017"}) {
        EXPECT_EQ(Radio(d.get(), id)->isEnabled(), QString::fromLatin1(id) == "1016") << id;
        EXPECT_EQ(Radio(d.get(), id)->isChecked(), QString::fromLatin1(id) == "1016") << id;
    }
    EXPECT_EQ(Label(d.get(), "1013"), "+ 00:00:00");
    EXPECT_FALSE(OkOn(d.get()));

    QScrollBar* seconds = Bar(d.get(), "1007");
    QScrollBar* minutes = Bar(d.get(), "1009");
    seconds->triggerAction(Action::SliderSingleStepAdd);
    EXPECT_EQ(Label(d.get(), "1008"), "1");
    EXPECT_TRUE(OkOn(d.get()));
    Repeat(seconds, Action::SliderSingleStepSub, 2); // 0, then held at 0
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

    // The direction changes only the sign, and later scrolling keeps it.
    ClickChild(d.get(), "1004");
    EXPECT_EQ(d->ShiftDelta(), -((2 * 60 + 37) * 60 + 49) * 10);
    seconds->triggerAction(Action::SliderSingleStepAdd);
    EXPECT_EQ(Label(d.get(), "1013"), "- 02:37:50");
    ClickChild(d.get(), "1003");
    EXPECT_EQ(Label(d.get(), "1013"), "+ 02:37:50");
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
        EXPECT_EQ(hours->value(), limit);
        EXPECT_EQ(Label(d.get(), "1012"), QString::number(limit));
    }
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
        ClickChild(d.get(), "1004");
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
    ClickChild(d.get(), "1004");
    EXPECT_EQ(d->ShiftDelta(), -30003);
    bar->setSliderPosition(120); // a thumb drag takes the reported position
    EXPECT_EQ(Label(d.get(), "1013"), "- 120 T232");
}

class MoveTimeCommandTest : public FrameTest {};

TEST_F(MoveTimeCommandTest, FramesMoveThroughTheDialogAndTheProgressWindowAndAreSavedOverTheFile)
{
    const std::string film = WriteFile("film.sub", "{10}{20}Early\r\n{100}{150}Hello\r\n{200}{250}World\r\n");
    OpenFile(film);
    RunModal(cmd::MoveTime, [](QDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(State(), "Source: move unite");

    // 50 frames earlier the first record would start before 0: the progress
    // window asks, once the dialog has gone.
    auto moveEarlier = [&](zv::Answer answer) {
        answers = {answer};
        onMessage = [](const Shown& s) {
            EXPECT_NE(qobject_cast<ProgressDialog*>(s.window), nullptr);
            EXPECT_TRUE(TopLevels<QDialog>(QStringLiteral("106")).empty());
        };
        RunModal(cmd::MoveTime, [](QDialog* dialog) {
            EXPECT_EQ(dialog->objectName(), "106");
            Bar(dialog, "1017")->setSliderPosition(50);
            ClickChild(dialog, "1004");
            dialog->findChild<QPushButton*>("1")->click();
        });
        onMessage = nullptr;
    };
    // Cancelled there, the pass ends without a result, its window, or a
    // complaint about the output it never wrote.
    moveEarlier(zv::Answer::Cancel);
    EXPECT_EQ(Messages(), std::vector<std::string>({"T44: T70"}));
    EXPECT_TRUE(TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")).empty());
    EXPECT_EQ(State(), "Source: move unite");

    moveEarlier(zv::Answer::Ok);
    // The summary waits for its OK while the result is already shown.
    const auto progress = TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow"));
    ASSERT_EQ(progress.size(), 1u);
    EXPECT_EQ(progress[0]->status()->text(), "T50 1 \n\nT25");
    EXPECT_EQ(Lines(doc(DocumentKind::Destination)), QStringList({" ", "{50}{100}Hello", "{150}{200}World"}));
    EXPECT_EQ(doc(DocumentKind::Destination)->windowTitle(), " T118 film.sub [UTF-8]");
    EXPECT_EQ(State(), "Destination Source: save saveas");
    progress[0]->okButton()->click();
    Save(zv::Answer::Yes);
    EXPECT_EQ(ReadFile(film), "{50}{100}Hello\r\n{150}{200}World\r\n");

    // Without an open file the command does nothing at all.
    frame->Dispatch(cmd::MoveTime);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A new user's key keeps exact times; the option off moves in tenths again.
TEST_F(MoveTimeCommandTest, MillisecondsMoveExactlyAndTheOptionOffGivesTenths)
{
    settings.DeleteSetting("_CNF_TENTHS");
    const std::string film = WriteFile("film.srt", "1\r\n00:00:27,074 --> 00:00:29,321\r\nHi\r\n\r\n");
    const auto move = [&](bool milliseconds) {
        OpenFile(film);
        RunModal(cmd::MoveTime, [&](QDialog* dialog) {
            Bar(dialog, "1007")->setSliderPosition(5);
            if (milliseconds) {
                Bar(dialog, "1040")->setSliderPosition(250);
                EXPECT_EQ(Label(dialog, "1013"), "+ 00:00:05,250");
            } else {
                EXPECT_EQ(Bar(dialog, "1040"), nullptr);
            }
            dialog->findChild<QPushButton*>("1")->click();
        });
        for (auto* progress : TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")))
            progress->okButton()->click();
        Save(zv::Answer::Yes);
        return ReadFile(film);
    };
    EXPECT_EQ(move(true), "1\r\n00:00:32,324 --> 00:00:34,571\r\nHi\r\n\r\n");

    answers = {zv::Answer::Yes}; // keep the change when the page is left
    RunModal(cmd::Configuration, [](QDialog* dialog) {
        dialog->findChild<QAbstractButton*>("1063")->click();
        dialog->accept();
    });
    EXPECT_EQ(settings.ReadSetting("_CNF_TENTHS"), "1");
    EXPECT_EQ(move(false), "1\r\n00:00:37,300 --> 00:00:39,500\r\nHi\r\n\r\n");
}

} // namespace
} // namespace zv::app::test
