// Move time from the frame: the dialog for the open file's format, the pass
// with its progress window, the result beside the source and saved over it.
#include "frame_fixture.h"

#include <QPushButton>
#include <QScrollBar>

namespace zv::app::test {
namespace {

class FrameMoveTimeTest : public FrameTest {};

TEST_F(FrameMoveTimeTest, FramesOfAMicroDvdFileMoveAndTheResultIsSavedOverIt)
{
    const std::string film = WriteFile("film.sub", "{100}{150}Hello\r\n{200}{250}World\r\n");
    OpenFile(film);
    RunModal(cmd::MoveTime, [](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "106");
        auto* bar = dialog->findChild<QScrollBar*>("1017");
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        dialog->findChild<QPushButton*>("1")->click();
    });
    // The progress window waits for its OK while the result is already shown.
    const auto progress = TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow"));
    ASSERT_EQ(progress.size(), 1u);
    EXPECT_TRUE(progress[0]->okButton()->isEnabled());
    EXPECT_EQ(Lines(doc(DocumentKind::Destination)), QStringList({" ", "{120}{170}Hello", "{220}{270}World"}));
    EXPECT_EQ(doc(DocumentKind::Destination)->windowTitle(), " T118 film.sub");
    EXPECT_EQ(On(), "save saveas");
    progress[0]->okButton()->click();
    Flush();
    Save(zv::Answer::Yes);
    EXPECT_EQ(ReadFile(film), "{120}{170}Hello\r\n{220}{270}World\r\n");
}

TEST_F(FrameMoveTimeTest, TimedFormatsMoveInSecondsWithTheTimeDialog)
{
    OpenFile(FormatSample("subrip.srt"));
    RunModal(cmd::MoveTime, [](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "104");
        for (int i = 0; i < 5; ++i)
            dialog->findChild<QScrollBar*>("1007")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        dialog->findChild<QPushButton*>("1")->click();
    });
    EXPECT_TRUE(Lines(doc(DocumentKind::Destination)).contains("00:00:10,100 --> 00:00:13,400"))
        << Lines(doc(DocumentKind::Destination)).join('|').toStdString();
}

TEST_F(FrameMoveTimeTest, ACancelledDialogShowsNothingAndLeavesTheCommandsOn)
{
    OpenFile(FormatSample("mpl2.txt"));
    RunModal(cmd::MoveTime, [](QDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(doc(DocumentKind::Destination), nullptr);
    EXPECT_TRUE(TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")).empty());
    EXPECT_EQ(On(), "move unite");

    // Without an open file the command does nothing at all.
    doc(DocumentKind::Source)->close();
    Flush();
    frame->Dispatch(cmd::MoveTime);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace zv::app::test
