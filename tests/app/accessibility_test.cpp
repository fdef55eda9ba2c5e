// Screen readers and accessibility tools drive the program by the names of
// its controls, and keyboard users by its focus order.
#include "frame_fixture.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAccessible>

namespace zv::app::test {
namespace {

// Every visible control a user can operate that has no accessible name.
std::string Unnamed(QWidget* top)
{
    QStringList missing;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSlider*>(w) ||
                             qobject_cast<QListView*>(w);
        if (!control || !w->isVisibleTo(top))
            continue;
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        if (!a || a->text(QAccessible::Name).trimmed().isEmpty())
            missing << QStringLiteral("%1 (%2)").arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()));
    }
    return missing.join(QStringLiteral(", ")).toStdString();
}

// The widgets that take the keyboard focus, in Tab order, from the first one.
QList<QWidget*> TabChain(QWidget* top)
{
    QList<QWidget*> chain;
    QWidget* w = top;
    for (int i = 0; i < 200; ++i) {
        w = w->nextInFocusChain();
        if (w == top)
            break;
        if (w->isVisibleTo(top) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && top->isAncestorOf(w))
            chain << w;
    }
    return chain;
}

class AccessibilityTest : public FrameTest {};

TEST_F(AccessibilityTest, EveryControlOfTheFrameAndItsWindowsHasAName)
{
    OpenFile(WriteFile("film.sub", "{100}{150}Hello\r\n"));
    ShowResult("{200}{250}Hello\r\n");
    EXPECT_EQ(Unnamed(frame.get()), "");
    // The icon-only toolbar buttons are named by their tool tips.
    for (QAbstractButton* b : frame->toolbar()->findChildren<QAbstractButton*>()) {
        if (b->text().isEmpty() && !b->toolTip().isEmpty()) {
            EXPECT_EQ(QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name).toStdString(),
                      b->toolTip().toStdString());
        }
    }
}

TEST_F(AccessibilityTest, MoveTimeDialogIsNamedAndTabsFromTopToBottom)
{
    OpenFile(WriteFile("film.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n"));
    RunModal(cmd::MoveTime, [](QDialog* dialog) {
        EXPECT_EQ(Unnamed(dialog), "");
        int lastY = -1;
        for (QWidget* w : TabChain(dialog)) {
            const int y = w->mapTo(dialog, QPoint(0, 0)).y();
            EXPECT_GE(y, lastY) << w->objectName().toStdString();
            lastY = y;
        }
        dialog->reject();
    });
}

} // namespace
} // namespace zv::app::test
