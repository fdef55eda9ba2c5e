// The progress window of a pass: locked while the pass runs, then waiting
// with its summary for OK; the owner of the pass's questions.
#include "qt/progress_window.h"
#include "dialog_fixture.h"
#include "engine/host/progress.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <thread>

namespace zv::app::test {
using qt::ProgressDialog;

namespace {

class ProgressWindowTest : public DialogTest {
protected:
    // The one progress window that is up, or null.
    static ProgressDialog* Window()
    {
        const auto windows = TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow"));
        return windows.size() == 1 ? windows.front() : nullptr;
    }
};

TEST_F(ProgressWindowTest, OkIsLockedWhileThePassRunsAndTheSummaryWaitsForItAndTheNextPass)
{
    QWidget frame;
    qhost.SetFrame(&frame);
    auto ask = [&] { qctx->Tell(70, 44, zv::Buttons::OkCancel, zv::Icon::Exclamation, zv::Owner::Progress); };
    QPointer<ProgressDialog> first;
    {
        zv::ProgressPass pass(*qctx);
        first = Window();
        ASSERT_TRUE(first);
        EXPECT_FALSE(first->isModal());
        EXPECT_EQ(first->windowTitle(), "T37");
        EXPECT_EQ(first->status()->text(), "T23");
        EXPECT_FALSE(first->okButton()->isEnabled());
        pass.Percent(1, 4);
        EXPECT_EQ(first->bar()->value(), 25);
        // A file that grew under the pass must not leave the bar behind.
        pass.SetPercent(130);
        EXPECT_EQ(first->bar()->value(), 100);
        // Neither the close box nor Escape ends a running pass's window.
        first->close();
        QTest::keyClick(first, Qt::Key_Escape);
        Flush();
        ASSERT_TRUE(first && first->isVisible());
        ask(); // the pass's questions belong to its window
        pass.Complete("T50 35 \n\nT25");
    }
    EXPECT_EQ(shown.at(0).window, first.data());
    Flush();
    ASSERT_TRUE(first && first->isVisible());
    EXPECT_EQ(first->windowTitle(), "T24");
    EXPECT_EQ(first->status()->text(), "T50 35 \n\nT25");
    EXPECT_TRUE(first->okButton()->isEnabled());

    // A later pass brings up its own window while the first waits for OK.
    zv::ProgressPass pass(*qctx);
    const auto windows = TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow"));
    ASSERT_EQ(windows.size(), 2u);
    ProgressDialog* second = windows[0] == first ? windows[1] : windows[0];
    ask();
    EXPECT_EQ(shown.back().window, second);
    // The user closes the first window meanwhile; the second pass goes on.
    QTest::mouseClick(first->okButton(), Qt::LeftButton);
    Flush();
    EXPECT_TRUE(first.isNull()); // closed and deleted
    pass.Percent(1, 2);
    EXPECT_EQ(second->bar()->value(), 50);
    ask();
    EXPECT_EQ(shown.back().window, second);
    pass.Complete("T25");
}

TEST_F(ProgressWindowTest, EndClosesAtOnceAndNoWindowOutlivesItsPass)
{
    QPointer<ProgressDialog> window;
    {
        zv::ProgressPass pass(*qctx);
        window = Window();
        ASSERT_TRUE(window);
        pass.Cancel();
        Flush();
        EXPECT_TRUE(window.isNull());
    }
    // A pass that returns early (neither completed nor cancelled) would leave
    // a window whose OK never comes on and that has no close box.
    {
        zv::ProgressPass pass(*qctx);
        window = Window();
        ASSERT_TRUE(window);
    }
    Flush();
    EXPECT_TRUE(window.isNull());

    // The user may close a finished window before its pass lets go of it.
    auto handle = qhost.StartProgressWindow();
    handle->SetOkEnabled(true);
    Window()->close();
    Flush();
    ASSERT_EQ(Window(), nullptr);
    handle->SetPercent(40);
    handle->SetStatusText("y");
    handle->End();
}

TEST_F(ProgressWindowTest, PendingEventsRunWhileThePassKeepsTheThreadBusy)
{
    zv::ProgressPass pass(*qctx);
    bool delivered = false;
    QTimer::singleShot(0, [&] { delivered = true; });
    // The pass never returns to the event loop here; the window's own updates
    // must let paints (and other posted work) through.
    for (int i = 1; i <= 6 && !delivered; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        pass.SetPercent(i);
    }
    EXPECT_TRUE(delivered);
    pass.Complete("T25");
}

} // namespace
} // namespace zv::app::test
