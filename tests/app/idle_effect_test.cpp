// The idle effect: it comes after the idle time only when switched on and
// while the program is in front, keeps to its own see-through window, and
// gives way at once to the user's hand.
#include "app/idle_effect.h"
#include "frame_fixture.h"

#include <QCursor>
#include <QScreen>
#include <QSignalSpy>

namespace zv::app::test {
namespace {

class IdleEffectTest : public FrameTest {
protected:
    IdleEffectTest()
    {
        frame->activateWindow();
        effect = frame->findChild<IdleEffect*>(QStringLiteral("IdleEffect"));
    }
    ~IdleEffectTest() override
    {
        if (effect)
            effect->SetIdleTime(IdleEffect::kIdleMilliseconds);
    }
    // The pointer over the frame's screen, `fromTop` pixels below its top.
    QPoint PointerAt(int fromTop)
    {
        const QRect screen = frame->screen()->geometry();
        const QPoint at(screen.left() + screen.width() / 2, screen.top() + fromTop);
        QCursor::setPos(at);
        Flush();
        return at;
    }

    IdleEffect* effect = nullptr;
};

TEST_F(IdleEffectTest, ComesAfterTheIdleTimeOnlyWhenSwitchedOnAndInputResetsIt)
{
    ASSERT_NE(effect, nullptr);
    QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationActive);
    PointerAt(300);
    effect->SetIdleTime(30);
    QTRY_VERIFY(effect->idle());
    Flush();
    EXPECT_FALSE(effect->running()); // the setting is off while empty

    QTest::keyClick(frame.get(), Qt::Key_Shift);
    EXPECT_FALSE(effect->idle());
    QTRY_VERIFY(effect->idle());
    QWidget* area = frame->documentArea()->viewport();
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_FALSE(effect->idle());

    // A move counts where the pointer went somewhere; a window that comes up
    // under a resting pointer makes a move that goes nowhere.
    const QPoint at = area->mapToGlobal(QPoint(30, 30));
    for (bool elsewhere : {true, false}) {
        QTRY_VERIFY(effect->idle());
        QMouseEvent move(QEvent::MouseMove, QPointF(30, 30), QPointF(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(area, &move);
        EXPECT_EQ(effect->idle(), !elsewhere);
    }

    settings.WriteSetting("_CNF_ASK_9_NEW", "1");
    QTRY_VERIFY(effect->running());
}

TEST_F(IdleEffectTest, NeverWhileAnotherProgramIsInFront)
{
    QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationActive);
    PointerAt(300);
    settings.WriteSetting("_CNF_ASK_9_NEW", "1");
    bool inFront = false;
    effect->SetInFrontHook([&] { return inFront; });
    effect->SetIdleTime(30);
    QTRY_VERIFY(effect->idle());
    QTest::qWait(100);
    EXPECT_FALSE(effect->running());

    // Another program comes to the front while it runs.
    inFront = true;
    QTRY_VERIFY(effect->sprite()->isVisible());
    effect->SetIdleTime(IdleEffect::kIdleMilliseconds);
    inFront = false;
    QTRY_VERIFY(!effect->running());
    EXPECT_FALSE(effect->sprite()->isVisible());
    effect->SetInFrontHook({});
}

TEST_F(IdleEffectTest, KeepsToItsOwnSeeThroughWindowAndEndsOnInput)
{
    QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationActive);
    PointerAt(300);
    settings.WriteSetting("_CNF_ASK_9_NEW", "1");
    effect->SetIdleTime(30);
    QTRY_VERIFY(effect->sprite()->isVisible());

    IdleSprite* sprite = effect->sprite();
    EXPECT_TRUE(sprite->isWindow());
    const Qt::WindowFlags flags = sprite->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTransparentForInput));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(sprite->testAttribute(Qt::WA_TranslucentBackground));
    // Only the creature is shown: the corners of its picture are clear.
    EXPECT_FALSE(sprite->mask().contains(QPoint(0, 31)));
    EXPECT_FALSE(QApplication::activeWindow() == sprite);

    QTest::keyClick(frame.get(), Qt::Key_Shift);
    EXPECT_FALSE(effect->running());
    EXPECT_FALSE(sprite->isVisible());

    // A pointer that the user moves ends it too.
    QSignalSpy finished(effect, &IdleEffect::finished);
    QTRY_VERIFY(effect->running());
    effect->SetIdleTime(IdleEffect::kIdleMilliseconds);
    QCursor::setPos(QCursor::pos() + QPoint(40, 0));
    QTRY_COMPARE(finished.count(), 1);
    EXPECT_FALSE(sprite->isVisible());
}

TEST_F(IdleEffectTest, DropsOntoThePointerAndRunsToItsEnd)
{
    QTRY_COMPARE(QGuiApplication::applicationState(), Qt::ApplicationActive);
    const QPoint pointer = PointerAt(60);
    settings.WriteSetting("_CNF_ASK_9_NEW", "1");
    std::vector<QRect> places;
    // One run only.
    QObject::connect(effect, &IdleEffect::started, [&] { effect->SetIdleTime(IdleEffect::kIdleMilliseconds); });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (effect->sprite()->isVisible())
            places.push_back(effect->sprite()->geometry());
    });
    watch.start(5);
    QSignalSpy finished(effect, &IdleEffect::finished);
    effect->SetIdleTime(30);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 10000);

    ASSERT_FALSE(places.empty());
    EXPECT_LT(places.front().top(), frame->screen()->geometry().top()); // it comes from above the screen
    EXPECT_TRUE(std::any_of(places.begin(), places.end(), [&](const QRect& r) { return r.contains(pointer); }));
    EXPECT_FALSE(effect->sprite()->isVisible());
    EXPECT_EQ(effect->nextSet(), 1);
    EXPECT_FALSE(IdleEffect::MovesPointer()); // off X11 the pointer is the user's alone
    EXPECT_EQ(QCursor::pos(), pointer);
}

} // namespace
} // namespace zv::app::test
