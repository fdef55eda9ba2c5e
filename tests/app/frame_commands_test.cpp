// The menu bar, the toolbar strip, the accelerators, the command states and
// the layout of the document windows.
#include "frame_fixture.h"

#include <QMenuBar>
#include <QTextBrowser>

namespace zv::app::test {
using qt::ForumPage;

namespace {

// The entries of a menu as the user reads them, "|"-separated: texts, "-" for
// separators, ">" and the title for a submenu.
QString Entries(QMenu* menu)
{
    QStringList entries;
    for (QAction* a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? QStringLiteral(">") + a->text() : a->text());
    return entries.join(QLatin1Char('|'));
}

class FrameCommandsTest : public FrameTest {};

TEST_F(FrameCommandsTest, MenuBarIsBuiltFromLanguageTextsWithEveryEntryInItsPlace)
{
    const std::pair<QString, QString> menus[] = {
        {"T80", "T85|T86|T87|-|T88|T89|T90|T91|T382|-|T93|T94|-|T256|T307|-|>T57|-|T92"},
        {"T81", "T285|>T402"},
        {"T82", "T98|-|T361...|T60|T99|T330|-|T351|-|T100|T101|-|T418"},
        {"T390", "T390|-|T391"},
    };
    const QList<QAction*> bar = frame->menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(bar[i]->text(), menus[i].first);
        EXPECT_EQ(Entries(bar[i]->menu()), menus[i].second);
    }
}

TEST_F(FrameCommandsTest, CommandStatesFollowTheFileAndItsResult)
{
    for (int command : {cmd::Open, cmd::Exit, cmd::CheckForUpdate, cmd::ViewReadme, cmd::Faq, cmd::Forum,
                        cmd::HelpContents, cmd::SoftwarePage, cmd::OtherSoftware, cmd::AviInformation,
                        cmd::SubtitleInformation})
        EXPECT_TRUE(MenuOn(command)) << command;
    // Without a file.
    for (int command :
         {cmd::Save, cmd::SaveAs, cmd::MoveTime, cmd::Convert, cmd::Repair, cmd::Synchronize, cmd::Unite, cmd::Split})
        EXPECT_FALSE(MenuOn(command)) << command;
    EXPECT_TRUE(MenuOn(cmd::StampLine)); // its settings need no file
    for (int id = 1046; id <= 1060; ++id)
        EXPECT_EQ(ButtonOn(id), id == 1046 || id >= 1055)
            << id;

    OpenFile(FormatSample("microdvd.sub"));
    EXPECT_EQ(State(), "Source: move unite");
    EXPECT_TRUE(ButtonOn(1050) && MenuOn(cmd::Convert));
    ShowResult("{10}{20}moved\r\n");
    EXPECT_EQ(State(), "Destination Source: save saveas");
    // A failed operation leaves the operations off and Save off.
    frame->ShowAfterOperation(false);
    EXPECT_EQ(State(), "Destination Source: ");
}

TEST_F(FrameCommandsTest, AcceleratorsAndHelpCommandsReachTheirTargetsUnlessTheEntryIsGreyed)
{
    settings.WriteSetting("LDIR1", Path("one") + "/");
    settings.WriteSetting("LDIR4", Path("four") + "/");
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    // Ctrl+2 names an empty recent folder; Save is greyed without a result;
    const std::tuple<Qt::Key, size_t, const char*> keys[] = {
        {Qt::Key_L, 1, "four"}, {Qt::Key_4, 2, "four"}, {Qt::Key_1, 3, "one"},
        {Qt::Key_2, 3, "one"},  {Qt::Key_S, 3, "one"}};
    for (const auto& [key, dialogsAfter, folder] : keys) {
        QTest::keyClick(frame.get(), key, Qt::ControlModifier);
        Flush();
        ASSERT_EQ(dialogs.size(), dialogsAfter) << key;
        EXPECT_EQ(dialogs.back().folder.toStdString(), Path(folder) + "/");
    }
    // Ctrl+C is Configuration, not a copy or Convert.
    QString configured;
    QTimer::singleShot(0, [&] {
        if (QWidget* d = QApplication::activeModalWidget()) {
            configured = d->objectName();
            d->close();
        }
    });
    QTest::keyClick(frame.get(), Qt::Key_C, Qt::ControlModifier);
    Flush();
    EXPECT_EQ(configured, "151");
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    QTest::keyClick(frame.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(frame.get(), Qt::Key_F, Qt::ControlModifier);
    Flush();
    EXPECT_EQ(dialogs.size(), 4u);
    EXPECT_TRUE(shown.empty()); // cancelled open dialogs say nothing either

    // The help menu opens the installed files, the pages and the help file.
    ::mkdir(Path("install").c_str(), 0755);
    WriteFile("install/readme.txt", "read me");
    WriteFile("install/T332", "FAQ");
    frame->Dispatch(cmd::ViewReadme);
    frame->Dispatch(cmd::Faq);
    const QString install = QString::fromStdString(Path("install/"));
    EXPECT_EQ(opened, std::vector<QUrl>({ForumPage(), QUrl::fromLocalFile(install + "readme.txt"),
                                         QUrl::fromLocalFile(install + "T332")}));
    settings.WriteSetting("HELP_FILE_PATH", WriteFile("help.html", "Contents"));
    frame->Dispatch(cmd::HelpContents);
    Flush();
    EXPECT_EQ(TopLevels<QTextBrowser>(QStringLiteral("HelpViewer")).size(), 1u);
}

TEST_F(FrameCommandsTest, DocumentWindowsAreTiledOnEveryResizeBelowTheToolbarStrip)
{
    OpenFile(FormatSample("microdvd.sub"));
    ShowSplit("{1}{2}a\r\n", "{3}{4}b\r\n");
    frame->resize(640, 481);
    Flush();
    const int w = frame->documentArea()->viewport()->width() / 2;
    const int d = frame->documentArea()->viewport()->height();
    EXPECT_EQ(doc(DocumentKind::Source)->geometry(), QRect(0, 0, w, d));
    EXPECT_EQ(doc(DocumentKind::Destination)->geometry(), QRect(w, 0, w, d / 2));
    EXPECT_EQ(doc(DocumentKind::SecondDestination)->geometry(), QRect(w, d / 2, w, d / 2));
    // The strip keeps the top 35 pixels; the documents fill the rest.
    EXPECT_EQ(frame->toolbar()->height(), 35);
    EXPECT_EQ(frame->documentArea()->mapTo(frame.get(), QPoint(0, 0)).y(),
              frame->toolbar()->mapTo(frame.get(), QPoint(0, 0)).y() + 35);
}

} // namespace
} // namespace zv::app::test
