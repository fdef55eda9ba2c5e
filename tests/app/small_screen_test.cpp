// A netbook's 1024×600 screen: every dialog fits on it with room for a title
// bar and a panel, and a narrow frame keeps every command and the whole hint
// within reach.
#include "app/dialogs/convert_dialog.h"
#include "app/status_bar.h"
#include "frame_fixture.h"

#include <QLabel>
#include <QScreen>
#include <QTabBar>

namespace zv::app::test {
namespace {

// What a dialog may take of a 1024×600 screen once the panel and its title
// bar have theirs.
const QSize kRoom(1024, 540);

class SmallScreenTest : public FrameTest {
protected:
    SmallScreenTest()
    {
        // The longest words the program has.
        texts.LoadOnce(std::string(ZENTAVO_RESOURCE_DIR) + "/languages/polish.lan");
        // Exact times, as a new user has them: the dialogs' largest form.
        settings.DeleteSetting("_CNF_TENTHS");
        MakeFrame();
    }
    // Runs a command and lets `look` see its modal dialog before it closes.
    void WithDialog(int command, const std::function<void(QDialog*)>& look)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr) << command;
            seen = true;
            Flush();
            look(dialog);
            dialog->reject();
        });
        frame->Dispatch(command);
        Flush();
        EXPECT_TRUE(seen) << command;
    }
};

TEST_F(SmallScreenTest, EveryDialogFitsANetbookScreenAndStaysOnItsOwn)
{
    OpenFile(WriteFile("film.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nRaz\r\n\r\n"
                                   "2\r\n00:00:03,000 --> 00:00:04,000\r\nDwa\r\n\r\n"));
    const std::pair<int, const char*> commands[] = {
        {cmd::Convert, "convert"},   {cmd::Convert, "convert with the Ssa panel"},
        {cmd::Synchronize, "sync"},  {cmd::MoveTime, "move"},
        {cmd::Repair, "repair"},     {cmd::StampLine, "stamp-line"},
        {cmd::Configuration, "configuration"}, {cmd::About, "about"},
        {cmd::Credits, "credits"},   {cmd::Donate, "donate"},
        {cmd::TipOfTheDay, "tip"},   {cmd::AviInformation, "AVI information"},
        {cmd::SubtitleInformation, "subtitle information"},
    };
    for (const auto& [command, name] : commands) {
        WithDialog(command, [&, name = std::string(name)](QDialog* d) {
            if (name == "convert with the Ssa panel") {
                ClickChild(d, "1016");
                Flush();
            }
            SCOPED_TRACE(name);
            // What it can be made as small as; a fixed one is that already.
            const QSize smallest = d->minimumSizeHint().expandedTo(d->minimumSize());
            EXPECT_LE(smallest.width(), kRoom.width());
            EXPECT_LE(smallest.height(), kRoom.height());
            // Every tab whole, none behind scroll arrows.
            for (QTabBar* tabs : d->findChildren<QTabBar*>())
                EXPECT_LE(tabs->tabRect(tabs->count() - 1).right(), tabs->width()) << tabs->tabText(0).toStdString();
            // Wholly on the screen, also once it has grown.
            const QRect screen = d->screen()->availableGeometry();
            EXPECT_TRUE(screen.contains(d->frameGeometry()))
                << d->frameGeometry().x() << "," << d->frameGeometry().y() << " " << d->frameGeometry().width()
                << "x" << d->frameGeometry().height() << " on " << screen.width() << "x" << screen.height();
        });
    }
}

TEST_F(SmallScreenTest, ANarrowFrameListsTheButtonsItHasNoRoomFor)
{
    frame->resize(300, 400);
    Flush();
    QToolButton* more = frame->toolbar()->moreButton();
    ASSERT_TRUE(more->isVisibleTo(frame.get()));
    EXPECT_GT(more->geometry().right(), frame->toolbar()->button(1046)->geometry().right());
    EXPECT_LE(more->geometry().right(), frame->toolbar()->width());
    // The hidden buttons are in its menu, with their state; an entry runs its command.
    emit more->menu()->aboutToShow();
    QStringList entries;
    QAction* configuration = nullptr;
    for (QAction* a : more->menu()->actions()) {
        entries << a->text() + (a->isEnabled() ? "" : " (off)");
        if (a->text() == frame->toolbar()->button(1056)->toolTip())
            configuration = a;
    }
    EXPECT_FALSE(frame->toolbar()->button(1060)->isVisibleTo(frame.get()));
    EXPECT_TRUE(entries.contains(frame->toolbar()->button(1060)->toolTip())) << entries.join("|").toStdString();
    ASSERT_NE(configuration, nullptr) << entries.join("|").toStdString();
    QString dialogName;
    QTimer::singleShot(0, [&] {
        if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialogName = d->objectName();
            d->reject();
        }
    });
    configuration->trigger();
    Flush();
    EXPECT_EQ(dialogName, "151"); // the configuration dialog

    // Wide again: every button, no list.
    frame->resize(1000, 400);
    Flush();
    EXPECT_FALSE(more->isVisibleTo(frame.get()));
    EXPECT_TRUE(frame->toolbar()->button(1060)->isVisibleTo(frame.get()));
}

TEST_F(SmallScreenTest, AHintTooLongForTheBarEndsInAnEllipsis)
{
    frame->resize(300, 400);
    Flush();
    StatusBar* bar = frame->statusBarPart();
    const QString hint = QStringLiteral("Wskazówka: ") + QString(60, QLatin1Char('w'));
    bar->ShowHint(hint);
    Flush();
    const QString onBar = bar->findChild<QLabel*>("270.0")->text();
    EXPECT_TRUE(onBar.endsWith(QChar(0x2026))) << onBar.toStdString();
    EXPECT_TRUE(hint.startsWith(onBar.chopped(1)));
    EXPECT_EQ(bar->PartText(StatusBar::Hint), hint); // whole for the screen reader
}

} // namespace
} // namespace zv::app::test
