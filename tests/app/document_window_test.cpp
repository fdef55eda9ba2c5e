// The document windows: what they list, the selected line, their context
// menus in each state, and what closing them (or the frame) does to the
// results and commands.
#include "app/document_window.h"
#include "app/status_bar.h"
#include "engine/io/encoding.h"
#include "frame_fixture.h"

#include <QPushButton>

#include <algorithm>

namespace zv::app::test {
using qt::ProgressDialog;

namespace {

// Commands of a context menu in order, "|"-separated ("-" for a separator),
// "!" before greyed ones.
QString MenuOf(DocumentWindow* w)
{
    QStringList entries;
    std::unique_ptr<QMenu> menu(w->BuildContextMenu());
    for (QAction* a : menu->actions())
        entries << (a->isSeparator() ? QStringLiteral("-") : (a->isEnabled() ? "" : "!") + a->text());
    return entries.join(QLatin1Char('|'));
}

class DocumentWindowTest : public FrameTest {};

TEST_F(DocumentWindowTest, ListShowsEveryLineAfterABlankEntryCutTo199Characters)
{
    // Without the document font a fallback is used, and the user is told.
    texts.LoadOnce(Path("numbered.lan")); // text 110 names no font
    MakeFrame();
    const std::string longLine = "{3}{4}" + std::string(500, 'x');
    const std::string file = WriteFile("long.sub", "{1}{2}first\r\n" + longLine +
                                                   "\r\n{7}{8}Za\xc5\xbc\xc3\xb3\xc5\x82\xc4\x87\r\n{9}{10}last");
    OpenFile(file);
    ASSERT_EQ(Messages(), std::vector<std::string>({"T52: T115"}));
    EXPECT_EQ(shown[0].icon, zv::Icon::Stop);
    EXPECT_EQ(doc(DocumentKind::Source)->list()->font().family(), "Arial");
    // The last line has no line break and is still shown.
    EXPECT_EQ(Lines(doc(DocumentKind::Source)),
              QStringList({" ", "{1}{2}first", QString::fromStdString(longLine.substr(0, 199)),
                           QString::fromUtf8("{7}{8}Zażółć"), "{9}{10}last"}));
    // The user's file is never touched by showing it.
    EXPECT_EQ(ReadFile(file).substr(ReadFile(file).size() - 4), "last");

    // Selecting a line sets the line indicator until the window closes.
    for (int row : {3, 0}) {
        doc(DocumentKind::Source)->list()->setCurrentRow(row);
        EXPECT_EQ(frame->statusBarPart()->PartText(StatusBar::Line), QStringLiteral("T445 %1").arg(row));
    }
    Close(DocumentKind::Source);
    EXPECT_EQ(frame->statusBarPart()->PartText(StatusBar::Line), "");
    EXPECT_EQ(State(), ": ");

    // A result that cannot be read leaves an empty list and says so.
    frame->ShowAfterOperation(true); // no WorkingCopy exists
    Flush();
    ASSERT_NE(doc(DocumentKind::Destination), nullptr);
    EXPECT_TRUE(Lines(doc(DocumentKind::Destination)).isEmpty());
    EXPECT_EQ(Messages().back(), "T44: T56");
}

TEST_F(DocumentWindowTest, LargeFileIsReadWithTheProgressWindowAndListedInItsEncoding)
{
    // About 9 MB of Windows-1250 lines, each with its number.
    std::string text;
    constexpr int kLines = 120000;
    for (int i = 1; i <= kLines; ++i)
        text += "{" + std::to_string(i * 10) + "}{" + std::to_string(i * 10 + 5) +
                "}Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1 - a line long enough to be like a real one\r\n";
    const std::string film = WriteFile("large.sub", text);
    // What the progress window shows while the file is read.
    QStringList seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (ProgressDialog* p : TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")))
            if (!p->okButton()->isEnabled())
                seen << p->windowTitle();
    });
    watch.start(0);
    OpenFile(film);
    const auto encodings = zv::ChoosableEncodings();
    const auto cp1250 = std::find(encodings.begin(), encodings.end(), "Windows-1250") - encodings.begin();
    frame->Dispatch(cmd::ChooseEncoding, static_cast<int>(cp1250));
    Flush();
    watch.stop();
    // Open and the new encoding each read the whole file with the window up;
    // it goes when the list is filled.
    EXPECT_EQ(seen.filter(QStringLiteral("T37")).size(), seen.size());
    EXPECT_GE(seen.size(), 2);
    EXPECT_TRUE(TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")).empty());
    DocumentList* list = doc(DocumentKind::Source)->list();
    ASSERT_EQ(list->count(), kLines + 1);
    EXPECT_EQ(list->text(kLines), QString::fromUtf8("{1200000}{1200005}Zażółć gęślą jaźń - a line long enough to be like "
                                                    "a real one"));
    list->setCurrentRow(kLines);
    EXPECT_EQ(frame->statusBarPart()->PartText(StatusBar::Line), QStringLiteral("T445 %1").arg(kLines));
}

TEST_F(DocumentWindowTest, ContextMenusOfferTheCommandsOfEachWindowAndState)
{
    // Split waits for a selected line.
    OpenFile(FormatSample("microdvd.sub"));
    // The source's encoding may be chosen there too.
    EXPECT_EQ(MenuOf(doc(DocumentKind::Source)), "T88|T89|T90|T91|-|!T94|T93|T402|-|T307|T60|-|T364");

    // Unite's two sources offer only Unite.
    RunWithFile(cmd::Unite, WriteFile("second.sub", "{100}{200}second\r\n"));
    EXPECT_EQ(MenuOf(doc(DocumentKind::Source)), "T93|T402|-|T307|T60|-|T364");
    EXPECT_EQ(MenuOf(doc(DocumentKind::SecondSource)), "T93|-|T307|T60|-|T364");
    Close(DocumentKind::SecondSource);

    ShowResult("{10}{20}moved\r\n");
    EXPECT_EQ(MenuOf(doc(DocumentKind::Destination)), "T86|T87|-|T307|T60|-|T364");
    // No operation runs over an unsaved result.
    EXPECT_EQ(MenuOf(doc(DocumentKind::Source)), "!T88|!T89|!T90|!T91|-|!T94|!T93|T402|-|T307|T60|-|T364");
    // Its commands reach the frame after the menu has closed; others are ignored.
    dialogs.clear();
    doc(DocumentKind::Destination)->HandleCommand(cmd::SaveAs);
    doc(DocumentKind::Destination)->HandleCommand(cmd::MoveTime);
    EXPECT_TRUE(dialogs.empty());
    Flush();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].save);

    // Two results are saved through Save as only.
    ShowSplit("{1}{2}a\r\n", "{3}{4}b\r\n");
    EXPECT_EQ(MenuOf(doc(DocumentKind::Destination)), "!T86|T87|-|T307|T60|-|T364");
    EXPECT_EQ(MenuOf(doc(DocumentKind::SecondDestination)), "!T86|T87|-|T307|T60|-|T364");
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
    EXPECT_EQ(State(), "Destination Source: save saveas");

    answers = {zv::Answer::Yes};
    Close(DocumentKind::Destination);
    EXPECT_FALSE(zv::FileExists(ws().WorkingCopy));
    EXPECT_EQ(State(), "Source: move unite"); // back to an open file without result

    // Switched off: no question.
    ShowResult("{10}{20}again\r\n");
    settings.WriteSetting("_CNF_ASK_3", "1");
    Close(DocumentKind::Destination);
    EXPECT_EQ(State(), "Source: move unite");
    EXPECT_EQ(shown.size(), 2u);

    // Closing the frame asks the same, unless switched off on its own.
    ShowResult("{10}{20}again\r\n");
    answers = {zv::Answer::No};
    EXPECT_FALSE(frame->close());
    EXPECT_EQ(Messages().back(), "T69: T68");
    EXPECT_EQ(shown.back().icon, zv::Icon::Exclamation);
    EXPECT_TRUE(zv::FileExists(ws().WorkingCopy));
    settings.WriteSetting("_CNF_ASK_1", "1");
    EXPECT_TRUE(frame->close());
    EXPECT_EQ(shown.size(), 3u);
    // The result and the workspace go with the frame.
    EXPECT_FALSE(zv::FileExists(ws().WorkingCopy) || zv::FileExists(ws().SourceStandardFile));
}

TEST_F(DocumentWindowTest, ClosingOneOfTwoResultsLeavesTheOtherAsTheOneToSave)
{
    OpenFile(FileIn("split"));
    ShowSplit("{1}{2}first part\r\n", "{3}{4}second part\r\n");
    EXPECT_EQ(State(), "Destination Destination2 Source: saveas");
    answers = {zv::Answer::Yes};
    Close(DocumentKind::SecondDestination);
    EXPECT_FALSE(zv::FileExists(ws().SecondWorkingCopy));
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{1}{2}first part\r\n");
    EXPECT_EQ(State(), "Destination Source: save saveas"); // still unsaved: no operations

    // Closing the first makes the second the one Save writes.
    ShowSplit("{1}{2}first part\r\n", "{3}{4}second part\r\n");
    answers = {zv::Answer::Yes};
    Close(DocumentKind::Destination);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{3}{4}second part\r\n");
    EXPECT_FALSE(zv::FileExists(ws().SecondWorkingCopy));
    EXPECT_EQ(State(), "Destination2 Source: save saveas");
    const QSize area = frame->documentArea()->viewport()->size(); // it takes the whole right column
    EXPECT_EQ(doc(DocumentKind::SecondDestination)->geometry(),
              QRect(area.width() / 2, 0, area.width() / 2, area.height()));

    // Opening another file asks about that remaining result too.
    answers = {zv::Answer::No};
    OpenFile(FileIn("split", "next.sub"));
    EXPECT_EQ(Messages().back(), "T62: T51");
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{3}{4}second part\r\n");
}

} // namespace
} // namespace zv::app::test
