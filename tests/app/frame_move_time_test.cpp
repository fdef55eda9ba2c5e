// Move time from the frame: the dialog for the open file's format, the pass
// with its progress window, the result beside the source and saved over it.
#include "app/commands.h"
#include "app/dialogs/progress_window.h"
#include "frame_fixture.h"

#include <QDialog>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace zv::app::test {
namespace {

class FrameMoveTimeTest : public FrameTest {
protected:
    // Runs Move time; `drive` works the dialog while it is up.
    void MoveTime(const std::function<void(QDialog*)>& drive)
    {
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_FALSE(frame->toolbar()->isEnabled());
            driven = true;
            drive(dialog);
        });
        frame->Dispatch(cmd::MoveTime);
        Flush();
        EXPECT_TRUE(driven);
        EXPECT_TRUE(frame->toolbar()->isEnabled());
    }

    static ProgressDialog* ProgressWindowUp()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* p = qobject_cast<ProgressDialog*>(w); p && p->isVisible())
                return p;
        return nullptr;
    }
};

TEST_F(FrameMoveTimeTest, FramesOfAMicroDvdFileMoveAndTheResultIsSavedOverIt)
{
    const std::string film = WriteFile("film.sub", "{100}{150}Hello\r\n{200}{250}World\r\n");
    OpenFile(film);
    MoveTime([](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "106");
        auto* bar = dialog->findChild<QScrollBar*>("1017");
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        dialog->findChild<QPushButton*>("1")->click();
    });
    // The progress window waits for its OK while the result is already shown.
    ProgressDialog* progress = ProgressWindowUp();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->okButton()->isEnabled());
    ASSERT_NE(doc(DocumentKind::Destination), nullptr);
    EXPECT_EQ(Lines(doc(DocumentKind::Destination)), QStringList({" ", "{120}{170}Hello", "{220}{270}World"}));
    EXPECT_EQ(doc(DocumentKind::Destination)->windowTitle(), " T118 film.sub");
    EXPECT_TRUE(MenuOn(cmd::Save) && ButtonOn(1047));
    EXPECT_FALSE(MenuOn(cmd::MoveTime) || ButtonOn(1049));
    progress->okButton()->click();
    Flush();

    answers = {zv::Answer::Yes};
    frame->Dispatch(cmd::Save);
    EXPECT_EQ(ReadFile(film), "{120}{170}Hello\r\n{220}{270}World\r\n");
}

TEST_F(FrameMoveTimeTest, TimedFormatsMoveInSecondsWithTheTimeDialog)
{
    OpenFile(FormatSample("subrip.srt"));
    MoveTime([](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "104");
        auto* seconds = dialog->findChild<QScrollBar*>("1007");
        for (int i = 0; i < 5; ++i)
            seconds->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        dialog->findChild<QPushButton*>("1")->click();
    });
    ASSERT_NE(doc(DocumentKind::Destination), nullptr);
    EXPECT_TRUE(Lines(doc(DocumentKind::Destination)).contains("00:00:10,100 --> 00:00:13,400"))
        << Lines(doc(DocumentKind::Destination)).join('|').toStdString();
    EXPECT_EQ(frame->context().OperationDoneFlag, 1);
}

TEST_F(FrameMoveTimeTest, ACancelledDialogShowsNothingAndLeavesTheCommandsOn)
{
    OpenFile(FormatSample("mpl2.txt"));
    MoveTime([](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "106");
        dialog->reject();
    });
    EXPECT_EQ(doc(DocumentKind::Destination), nullptr);
    EXPECT_EQ(ProgressWindowUp(), nullptr);
    EXPECT_TRUE(MenuOn(cmd::MoveTime) && ButtonOn(1049));
    EXPECT_FALSE(MenuOn(cmd::Save));

    // Without an open file the command does nothing at all.
    doc(DocumentKind::Source)->close();
    Flush();
    frame->Dispatch(cmd::MoveTime);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
} // namespace zv::app::test
