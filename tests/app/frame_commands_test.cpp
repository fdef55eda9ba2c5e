// The menu bar, the toolbar strip, the accelerators, the command states, the
// layout of the document windows and the closing of the frame.
#include "app/commands.h"
#include "frame_fixture.h"

#include <QMdiArea>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace zv::app::test {
namespace {

// The entries of a menu as the user reads them: texts, "-" for separators,
// ">" and the title for a submenu.
QStringList Entries(QMenu* menu)
{
    QStringList entries;
    for (QAction* a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-")
                    : a->menu()      ? QStringLiteral(">") + a->text()
                                     : a->text());
    return entries;
}

QMenu* MenuAt(QMenuBar* bar, int index)
{
    return bar->actions().at(index)->menu();
}

class FrameCommandsTest : public FrameTest {};

TEST_F(FrameCommandsTest, MenuBarIsBuiltFromLanguageTextsWithEveryEntryInItsPlace)
{
    QMenuBar* bar = frame->menuBar();
    ASSERT_EQ(bar->actions().size(), 4);
    EXPECT_EQ(bar->actions()[0]->text(), "T80");
    EXPECT_EQ(bar->actions()[1]->text(), "T81");
    EXPECT_EQ(bar->actions()[2]->text(), "T82");
    EXPECT_EQ(bar->actions()[3]->text(), "T390");

    const QStringList file = Entries(MenuAt(bar, 0));
    EXPECT_EQ(file, QStringList({"T85", "T86", "T87", "-", "T88", "T89", "T90", "T91", "T382", "-", "T93", "T94",
                                 "-", "T256", "T307", "-", ">T57", "-", "T92"}));
    EXPECT_EQ(file.indexOf(">T57"), 16); // the recent folders are found by position
    EXPECT_EQ(Entries(MenuAt(bar, 1)), QStringList({"T285"}));
    EXPECT_EQ(Entries(MenuAt(bar, 2)), QStringList({"T98", "-", "T361...", "T60", "T99", "T330", "-", "T351", "-",
                                                    "T100", "T101", "-", "DONATE..."}));
    EXPECT_EQ(Entries(MenuAt(bar, 3)), QStringList({" ", "T390", " ", "-", "T391"}));
}

TEST_F(FrameCommandsTest, WithoutAFileOnlyTheCommandsThatNeedNoFileAreOn)
{
    for (int command : {cmd::Open, cmd::Exit, cmd::CheckForUpdate, cmd::ViewReadme, cmd::Faq, cmd::Forum,
                        cmd::HelpContents, cmd::SoftwarePage, cmd::OtherSoftware})
        EXPECT_TRUE(MenuOn(command)) << command;
    for (int command : {cmd::Save, cmd::SaveAs, cmd::MoveTime, cmd::Convert, cmd::Repair, cmd::Synchronize,
                        cmd::Unite, cmd::Split})
        EXPECT_FALSE(MenuOn(command)) << command;
    // Commands whose dialogs are not built yet stay greyed.
    for (int command : {cmd::About, cmd::AviInformation, cmd::Configuration, cmd::SubtitleInformation,
                        cmd::Credits, cmd::TipOfTheDay, cmd::Donate, cmd::StampLine})
        EXPECT_FALSE(MenuOn(command)) << command;

    const int expectedIds[15] = {1046, 1047, 1048, 1049, 1050, 1051, 1052, 1053,
                                 1054, 1055, 1056, 1057, 1058, 1059, 1060};
    const QList<QToolButton*> buttons = frame->toolbar()->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 15);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(buttons[i]->objectName(), QString::number(expectedIds[i]));
        EXPECT_FALSE(buttons[i]->accessibleName().isEmpty()) << expectedIds[i];
    }
    EXPECT_EQ(frame->toolbar()->button(1046)->toolTip(), "T1");
    EXPECT_EQ(frame->toolbar()->button(1053)->toolTip(), "T196");
    EXPECT_EQ(frame->toolbar()->button(1059)->toolTip(), "T382");
    EXPECT_TRUE(ButtonOn(1046));
    EXPECT_TRUE(ButtonOn(1058));
    EXPECT_TRUE(ButtonOn(1060));
    for (int id : {1047, 1048, 1049, 1050, 1051, 1052, 1053, 1054, 1055, 1056, 1057, 1059})
        EXPECT_FALSE(ButtonOn(id)) << id;
}

TEST_F(FrameCommandsTest, CommandStatesFollowTheFileAndItsResult)
{
    OpenFile(FormatSample("microdvd.sub"));
    ASSERT_NE(doc(DocumentKind::Source), nullptr);
    EXPECT_TRUE(ButtonOn(1049) && MenuOn(cmd::MoveTime));
    EXPECT_TRUE(ButtonOn(1054) && MenuOn(cmd::Unite));
    EXPECT_FALSE(ButtonOn(1050) || MenuOn(cmd::Convert)); // its dialog is missing
    EXPECT_FALSE(ButtonOn(1047) || ButtonOn(1048) || MenuOn(cmd::Save) || MenuOn(cmd::SaveAs));

    ShowResult("{10}{20}moved\r\n");
    EXPECT_FALSE(ButtonOn(1049) || MenuOn(cmd::MoveTime) || ButtonOn(1054));
    EXPECT_TRUE(ButtonOn(1047) && ButtonOn(1048) && MenuOn(cmd::Save) && MenuOn(cmd::SaveAs));

    // A failed operation leaves the states of the operations alone and Save off.
    frame->context().OperationDoneFlag = 0;
    frame->ShowAfterOperation();
    EXPECT_FALSE(MenuOn(cmd::Save));
    EXPECT_FALSE(MenuOn(cmd::MoveTime));
}

TEST_F(FrameCommandsTest, AcceleratorsRunTheirCommandsUnlessTheMenuEntryIsGreyed)
{
    settings.WriteSetting("LDIR1", Path("one") + "/");
    settings.WriteSetting("LDIR4", Path("four") + "/");
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));

    QTest::keyClick(frame.get(), Qt::Key_L, Qt::ControlModifier);
    Flush();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs.back().folder.toStdString(), Path("four") + "/");
    QTest::keyClick(frame.get(), Qt::Key_4, Qt::ControlModifier);
    Flush();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs.back().folder.toStdString(), Path("four") + "/");
    QTest::keyClick(frame.get(), Qt::Key_1, Qt::ControlModifier);
    Flush();
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(dialogs.back().folder.toStdString(), Path("one") + "/");
    // An empty recent folder does nothing.
    QTest::keyClick(frame.get(), Qt::Key_2, Qt::ControlModifier);
    Flush();
    EXPECT_EQ(dialogs.size(), 3u);

    // Save is greyed without a result; Ctrl+C is Configuration (greyed), not a copy or Convert.
    QTest::keyClick(frame.get(), Qt::Key_S, Qt::ControlModifier);
    QTest::keyClick(frame.get(), Qt::Key_C, Qt::ControlModifier);
    Flush();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(dialogs.size(), 3u);

    QTest::keyClick(frame.get(), Qt::Key_O, Qt::ControlModifier);
    Flush();
    EXPECT_EQ(dialogs.size(), 4u);
    QTest::keyClick(frame.get(), Qt::Key_F, Qt::ControlModifier);
    Flush();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], ForumPage());
}

TEST_F(FrameCommandsTest, HelpMenuOpensTheInstalledFilesAndStartsTheUpdateCheckerWhenPresent)
{
    frame->Dispatch(cmd::ViewReadme);
    frame->Dispatch(cmd::Faq);
    frame->Dispatch(cmd::SoftwarePage);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(Path("install/readme.txt"))));
    EXPECT_EQ(opened[1], QUrl::fromLocalFile(QString::fromStdString(Path("install/T332"))));
    EXPECT_EQ(opened[2], SoftwarePage());

    frame->Dispatch(cmd::CheckForUpdate);
    EXPECT_TRUE(started.empty()); // not installed: nothing happens

    ::mkdir(Path("install").c_str(), 0755);
    WriteFile("install/upgrade", "#!/bin/sh\n");
    ::chmod(Path("install/upgrade").c_str(), 0755);
    frame->Dispatch(cmd::CheckForUpdate);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].toStdString(), Path("install/upgrade") + " ");
}

TEST_F(FrameCommandsTest, HelpContentsOpensTheHelpFileTheSettingsName)
{
    settings.WriteSetting("HELP_FILE_PATH", WriteFile("help.html", "<html><body><h1>Contents</h1></body></html>"));
    frame->Dispatch(cmd::HelpContents);
    Flush();
    QWidget* viewer = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "HelpViewer" && w->isVisible())
            viewer = w;
    EXPECT_NE(viewer, nullptr);
}

TEST_F(FrameCommandsTest, DocumentWindowsAreTiledOnEveryResize)
{
    OpenFile(FormatSample("microdvd.sub"));
    ShowSplit("{1}{2}a\r\n", "{3}{4}b\r\n");
    for (QSize size : {QSize(1001, 701), QSize(640, 481)}) {
        frame->resize(size);
        Flush();
        const QSize area = frame->documentArea()->viewport()->size();
        const int w = area.width() / 2;
        const int d = area.height();
        EXPECT_EQ(doc(DocumentKind::Source)->geometry(), QRect(0, 0, w, d));
        EXPECT_EQ(doc(DocumentKind::Destination)->geometry(), QRect(w, 0, w, d / 2));
        EXPECT_EQ(doc(DocumentKind::SecondDestination)->geometry(), QRect(w, d / 2, w, d / 2));
    }
    // The toolbar strip keeps the top 35 pixels; the documents fill the rest.
    EXPECT_EQ(frame->toolbar()->height(), 35);
    EXPECT_EQ(frame->documentArea()->mapTo(frame.get(), QPoint(0, 0)).y(),
              frame->toolbar()->mapTo(frame.get(), QPoint(0, 0)).y() + 35);
}

TEST_F(FrameCommandsTest, ClosingWithAnUnsavedResultAsksUnlessSwitchedOff)
{
    OpenFile(FormatSample("microdvd.sub"));
    ShowResult("{10}{20}moved\r\n");
    answers = {zv::Answer::No};
    EXPECT_FALSE(frame->close());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "T69");
    EXPECT_EQ(shown[0].text, "T68");
    EXPECT_EQ(shown[0].icon, zv::Icon::Exclamation);
    EXPECT_TRUE(zv::FileExists(ws().WorkingCopy));

    settings.WriteSetting("_CNF_ASK_1", "1");
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(shown.size(), 1u);
    // The result and the workspace go with the frame.
    EXPECT_FALSE(zv::FileExists(ws().WorkingCopy));
    EXPECT_FALSE(zv::FileExists(ws().SourceStandardFile));
}

TEST_F(FrameCommandsTest, ClosingStoresTheWindowRectangleAlsoWhenMaximised)
{
    frame->setGeometry(40, 60, 500, 300);
    Flush();
    ASSERT_TRUE(frame->close());
    EXPECT_EQ(settings.ReadSetting("WINDOW_LEFT"), "40");
    EXPECT_EQ(settings.ReadSetting("WINDOW_TOP"), "60");
    EXPECT_EQ(settings.ReadSetting("WINDOW_RIGHT"), "540");
    EXPECT_EQ(settings.ReadSetting("WINDOW_BOTTOM"), "360");

    MakeFrame();
    frame->showMaximized();
    Flush();
    const QRect maximised = frame->geometry();
    ASSERT_TRUE(frame->close());
    EXPECT_EQ(settings.ReadNumber("WINDOW_RIGHT") - settings.ReadNumber("WINDOW_LEFT"), maximised.width());
    EXPECT_EQ(settings.ReadNumber("WINDOW_BOTTOM") - settings.ReadNumber("WINDOW_TOP"), maximised.height());
}

} // namespace
} // namespace zv::app::test
