// The help viewer: keywords to anchors, one window, F1 in a dialog, a missing
// help file.
#include "app/dialogs/help_viewer.h"
#include "app/dialogs/move_time_dialog.h"
#include "dialog_fixture.h"

#include <QMessageBox>
#include <QScrollBar>
#include <QTextBrowser>

namespace zv::app::test {
namespace {

class HelpViewerTest : public DialogTest {
protected:
    static std::vector<QTextBrowser*> Viewers() { return TopLevels<QTextBrowser>(QStringLiteral("HelpViewer")); }
};

TEST_F(HelpViewerTest, OpensAtTheKeywordsAnchorInOneWindowOwnedByTheAskingDialog)
{
    EXPECT_EQ(HelpAnchor("MOVE TIME command"), "move-time-command");
    EXPECT_EQ(HelpAnchor("Add stamp-line to output file... command"), "add-stamp-line-to-output-file...-command");
    EXPECT_EQ(HelpAnchor("GET INFORMATION SUBTITLE FILES command"), "get-information-subtitle-files-command");

    std::string html = "<html><body>Contents";
    for (const char* section : {"move-time-command", "convert-command"})
        html += std::string("<p style=\"margin-top:3000px\"><a name=\"") + section + "\"></a>" + section + "</p>";
    const QString help = QString::fromStdString(WriteFile("help.html", html + "</body></html>"));
    QWidget frame;
    frame.show();
    ShowHelp(&frame, *qctx, help, "MOVE TIME command");
    ASSERT_EQ(Viewers().size(), 1u);
    QTextBrowser* viewer = Viewers().front();
    EXPECT_EQ(viewer->source().fragment(), "move-time-command");
    const int moveTime = viewer->verticalScrollBar()->value();
    EXPECT_GT(moveTime, 0);
    ShowHelp(&frame, *qctx, help, "CONVERT command");
    EXPECT_EQ(Viewers(), std::vector<QTextBrowser*>({viewer}));
    EXPECT_GT(viewer->verticalScrollBar()->value(), moveTime);
    ShowHelp(&frame, *qctx, help, QString()); // no keyword: the contents at the top
    EXPECT_EQ(viewer->verticalScrollBar()->value(), 0);

    // F1 in a dialog opens its topic in a viewer of its own: a modal dialog
    // blocks every window but its children.
    settings.WriteSetting("HELP_FILE_PATH", help.toStdString());
    auto handler = zv::MakeFormatHandler(*qctx, zv::SubtitleFormat::MicroDvd);
    MoveFramesDialog dialog(*qctx, *handler, zv::SubtitleFormat::MicroDvd, QStringLiteral("film.sub"), &frame);
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_F1);
    ASSERT_EQ(Viewers().size(), 1u);
    EXPECT_EQ(Viewers().front()->parentWidget(), &dialog);
    EXPECT_EQ(Viewers().front()->source().fragment(), "move-time-command");
    EXPECT_TRUE(dialog.isVisible()); // help does not end the dialog
}

TEST_F(HelpViewerTest, AMissingHelpFileIsToldNotShown)
{
    QWidget frame;
    frame.show();
    const QString missing = QString::fromStdString(Path("nothing.html"));
    ShowHelp(&frame, *qctx, missing, "MOVE TIME command");
    ShowHelp(&frame, *qctx, QString(), QString());
    EXPECT_TRUE(Viewers().empty());
    const auto boxes = TopLevels<QMessageBox>(QStringLiteral("HelpFileMissing"));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0]->icon(), QMessageBox::Information);
    EXPECT_FALSE(boxes[0]->isModal());
    EXPECT_TRUE(boxes[0]->text().contains(missing) || boxes[1]->text().contains(missing));
}

} // namespace
} // namespace zv::app::test
