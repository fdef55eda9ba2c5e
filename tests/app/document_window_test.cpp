// The document windows: what they list, the selected line, their context
// menus in each state, and what closing them does to the results and commands.
#include "app/commands.h"
#include "frame_fixture.h"

#include <QMdiArea>

namespace zv::app::test {
namespace {

// Commands of a context menu in order (0 for a separator), "!" before greyed ones.
QStringList MenuOf(DocumentWindow* w)
{
    QStringList entries;
    std::unique_ptr<QMenu> menu(w->BuildContextMenu());
    for (QAction* a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-")
                                     : (a->isEnabled() ? QString() : QStringLiteral("!")) + a->text());
    return entries;
}

class DocumentWindowTest : public FrameTest {};

TEST_F(DocumentWindowTest, ListShowsEveryLineAfterABlankEntryCutTo199Characters)
{
    const std::string longLine(500, 'x');
    const std::string file = WriteFile("long.sub", "{1}{2}first\r\n{3}{4}" + longLine + "\r\n{5}{6}next\r\n"
                                                   "{7}{8}Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87\r\n{9}{10}last");
    OpenFile(file);
    DocumentWindow* source = doc(DocumentKind::Source);
    ASSERT_NE(source, nullptr);
    const QStringList lines = Lines(source);
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], " ");
    EXPECT_EQ(lines[1], "{1}{2}first");
    EXPECT_EQ(lines[2].size(), 199);
    EXPECT_EQ(lines[2], QString::fromStdString(("{3}{4}" + longLine).substr(0, 199)));
    EXPECT_EQ(lines[3], "{5}{6}next");
    EXPECT_EQ(lines[4], QString::fromUtf8("{7}{8}Zażółć"));
    EXPECT_EQ(lines[5], "{9}{10}last"); // no final line break, still shown
    EXPECT_EQ(source->windowTitle(), " T117 long.sub");
    EXPECT_EQ(source->objectName(), "MdiSourceDocument");
    EXPECT_EQ(source->list()->objectName(), "1");
    // The user's file is never touched by showing it.
    EXPECT_EQ(ReadFile(file).substr(ReadFile(file).size() - 4), "last");
}

TEST_F(DocumentWindowTest, AMissingFontFaceIsReportedAndAFallbackUsed)
{
    texts.LoadOnce(zv::test::NumberedLanguageFile(Path("plain.lan"))); // text 110 names no font
    MakeFrame();
    OpenFile(FormatSample("microdvd.sub"));
    ASSERT_EQ(Messages(), std::vector<std::string>({"T52: T115"}));
    EXPECT_EQ(shown[0].icon, zv::Icon::Stop);
    ASSERT_NE(doc(DocumentKind::Source), nullptr);
    EXPECT_EQ(doc(DocumentKind::Source)->list()->font().family(), "Arial");
    EXPECT_GT(Lines(doc(DocumentKind::Source)).size(), 1);
}

TEST_F(DocumentWindowTest, SelectingASourceLineSetsTheCurrentLineAndTheLineIndicator)
{
    EXPECT_EQ(frame->currentLine(), -99);
    OpenFile(FormatSample("microdvd.sub"));
    DocumentWindow* source = doc(DocumentKind::Source);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(frame->currentLine(), -99);
    source->list()->setCurrentRow(3);
    EXPECT_EQ(frame->currentLine(), 3);
    EXPECT_EQ(frame->statusBarPart()->PartText(StatusBar::Line), "Ln: 3");
    source->list()->setCurrentRow(0);
    EXPECT_EQ(frame->currentLine(), 0);
    EXPECT_EQ(frame->statusBarPart()->PartText(StatusBar::Line), "Ln: 0");

    source->close();
    Flush();
    EXPECT_EQ(frame->currentLine(), -99);
    EXPECT_EQ(frame->statusBarPart()->PartText(StatusBar::Line), "");
    EXPECT_EQ(frame->handler(), nullptr);
    EXPECT_FALSE(MenuOn(cmd::MoveTime) || ButtonOn(1049));
}

TEST_F(DocumentWindowTest, AResultThatCannotBeReadLeavesAnEmptyListAndSaysSo)
{
    frame->context().OperationDoneFlag = 1;
    frame->ShowAfterOperation(); // no WorkingCopy exists
    Flush();
    ASSERT_NE(doc(DocumentKind::Destination), nullptr);
    EXPECT_TRUE(Lines(doc(DocumentKind::Destination)).isEmpty());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "T44: T56");
}

TEST_F(DocumentWindowTest, ContextMenusOfferTheCommandsOfEachWindowAndState)
{
    OpenFile(FormatSample("microdvd.sub"));
    // Convert, Repair, Synchronize, Split and Subtitle information wait for their dialogs.
    EXPECT_EQ(MenuOf(doc(DocumentKind::Source)),
              QStringList({"T88", "!T89", "!T90", "!T91", "-", "!T94", "T93", "-", "!T307", "T60", "-", "T364"}));

    ShowResult("{10}{20}moved\r\n");
    EXPECT_EQ(MenuOf(doc(DocumentKind::Destination)),
              QStringList({"T86", "T87", "-", "!T307", "T60", "-", "T364"}));

    ShowSplit("{1}{2}a\r\n", "{3}{4}b\r\n");
    EXPECT_EQ(MenuOf(doc(DocumentKind::Destination)),
              QStringList({"!T86", "T87", "-", "!T307", "T60", "-", "T364"}));
    EXPECT_EQ(MenuOf(doc(DocumentKind::SecondDestination)),
              QStringList({"!T86", "T87", "-", "!T307", "T60", "-", "T364"}));
}

TEST_F(DocumentWindowTest, ContextMenusOfTheTwoSourcesOfUnite)
{
    OpenFile(FormatSample("microdvd.sub"));
    files.push_back(QString::fromStdString(WriteFile("second.sub", "{100}{200}second\r\n")));
    frame->Dispatch(cmd::Unite);
    Flush();
    ASSERT_NE(doc(DocumentKind::SecondSource), nullptr);
    EXPECT_EQ(MenuOf(doc(DocumentKind::Source)), QStringList({"T93", "-", "!T307", "T60", "-", "T364"}));
    EXPECT_EQ(MenuOf(doc(DocumentKind::SecondSource)), QStringList({"T93", "-", "!T307", "T60", "-", "T364"}));

    // Closing the first source takes the second with it.
    doc(DocumentKind::Source)->HandleCommand(cmd::Exit);
    Flush();
    EXPECT_EQ(doc(DocumentKind::SecondSource), nullptr);
    EXPECT_EQ(doc(DocumentKind::Source), nullptr);
    EXPECT_FALSE(MenuOn(cmd::MoveTime) || ButtonOn(1049) || ButtonOn(1054));
}

TEST_F(DocumentWindowTest, ContextMenuCommandsReachTheFrameAfterTheMenuCloses)
{
    OpenFile(FormatSample("microdvd.sub"));
    ShowResult("{10}{20}moved\r\n");
    dialogs.clear();
    doc(DocumentKind::Destination)->HandleCommand(cmd::SaveAs);
    EXPECT_TRUE(dialogs.empty()); // posted, not run inside the menu
    Flush();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].save);
    // A command that does not belong to the window is ignored.
    doc(DocumentKind::Destination)->HandleCommand(cmd::MoveTime);
    Flush();
    EXPECT_EQ(dialogs.size(), 1u);
}

TEST_F(DocumentWindowTest, ClosingAnUnsavedResultAsksAndNoKeepsIt)
{
    OpenFile(FormatSample("microdvd.sub"));
    ShowResult("{10}{20}moved\r\n");
    answers = {zv::Answer::No};
    doc(DocumentKind::Destination)->HandleCommand(cmd::Exit);
    Flush();
    ASSERT_EQ(Messages(), std::vector<std::string>({"T167: T168"}));
    EXPECT_EQ(shown[0].icon, zv::Icon::Question);
    ASSERT_NE(doc(DocumentKind::Destination), nullptr);
    EXPECT_EQ(frame->context().OperationDoneFlag, 1);

    answers = {zv::Answer::Yes};
    doc(DocumentKind::Destination)->close();
    Flush();
    EXPECT_EQ(doc(DocumentKind::Destination), nullptr);
    EXPECT_EQ(frame->context().OperationDoneFlag, 0);
    EXPECT_FALSE(zv::FileExists(ws().WorkingCopy));
    // Back to an open file without result.
    EXPECT_TRUE(MenuOn(cmd::MoveTime) && ButtonOn(1049));
    EXPECT_FALSE(MenuOn(cmd::Save) || ButtonOn(1047) || MenuOn(cmd::SaveAs));

    // Switched off: no question.
    ShowResult("{10}{20}again\r\n");
    settings.WriteSetting("_CNF_ASK_3", "1");
    doc(DocumentKind::Destination)->close();
    Flush();
    EXPECT_EQ(doc(DocumentKind::Destination), nullptr);
    EXPECT_EQ(shown.size(), 2u);
}

TEST_F(DocumentWindowTest, ClosingTheFirstOfTwoResultsMakesTheSecondTheOneToSave)
{
    OpenFile(FormatSample("microdvd.sub"));
    ShowSplit("{1}{2}first part\r\n", "{3}{4}second part\r\n");
    EXPECT_FALSE(MenuOn(cmd::Save) || ButtonOn(1047));
    EXPECT_TRUE(MenuOn(cmd::SaveAs) && ButtonOn(1048));

    answers = {zv::Answer::Yes};
    doc(DocumentKind::Destination)->close();
    Flush();
    EXPECT_EQ(doc(DocumentKind::Destination), nullptr);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{3}{4}second part\r\n");
    EXPECT_FALSE(zv::FileExists(ws().SecondWorkingCopy));
    EXPECT_TRUE(MenuOn(cmd::Save) && ButtonOn(1047));
    // The remaining result takes the whole right column.
    const QSize area = frame->documentArea()->viewport()->size();
    EXPECT_EQ(doc(DocumentKind::SecondDestination)->geometry(),
              QRect(area.width() / 2, 0, area.width() / 2, area.height()));
}

TEST_F(DocumentWindowTest, ClosingTheSecondOfTwoResultsLeavesTheFirstToSave)
{
    OpenFile(FormatSample("microdvd.sub"));
    ShowSplit("{1}{2}first part\r\n", "{3}{4}second part\r\n");
    answers = {zv::Answer::Yes};
    doc(DocumentKind::SecondDestination)->close();
    Flush();
    EXPECT_EQ(frame->context().SecondDoneFlag, 0);
    EXPECT_FALSE(zv::FileExists(ws().SecondWorkingCopy));
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{1}{2}first part\r\n");
    EXPECT_TRUE(MenuOn(cmd::Save) && ButtonOn(1047));
    // The first result is still unsaved, so the operations stay off.
    EXPECT_FALSE(MenuOn(cmd::MoveTime));
}

} // namespace
} // namespace zv::app::test
