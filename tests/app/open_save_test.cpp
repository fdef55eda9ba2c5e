// Opening files (dialog, drop, recent folders, line-end check), saving results
// (Save, Save as, the two-file dialog) and Unite's choice of a second file.
#include "app/commands.h"
#include "frame_fixture.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QTimer>

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

namespace zv::app::test {
namespace {

class OpenSaveTest : public FrameTest {
protected:
    // A folder of this test with a MicroDvd file in it.
    std::string FileIn(const std::string& folder, const std::string& name = "film.sub")
    {
        ::mkdir(Path(folder).c_str(), 0755);
        return WriteFile(folder + "/" + name, "{10}{20}Hello\r\n{30}{40}World\r\n");
    }

    void Drop(const QStringList& paths)
    {
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        mime.setUrls(urls);
        // As a real drag does: the strip is entered before anything is dropped on it.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame->toolbar(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(frame->toolbar(), &drop);
        Flush();
    }

    std::vector<std::string> FolderEntries(const std::string& folder)
    {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(folder.c_str())) {
            while (dirent* e = ::readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.push_back(e->d_name);
            ::closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(OpenSaveTest, EachOfTheEightFormatsOpensInTheSourceWindow)
{
    const std::pair<const char*, zv::SubtitleFormat> samples[] = {
        {"tmplayer.txt", zv::SubtitleFormat::TmPlayer},   {"tmplayer_short.txt", zv::SubtitleFormat::TmPlayerShort},
        {"microdvd.sub", zv::SubtitleFormat::MicroDvd},   {"mpl2.txt", zv::SubtitleFormat::Mpl2},
        {"subrip.srt", zv::SubtitleFormat::SubRip},       {"subviewer1.sub", zv::SubtitleFormat::SubViewer1},
        {"ssa.ssa", zv::SubtitleFormat::Ssa},             {"subviewer2.sub", zv::SubtitleFormat::SubViewer2},
    };
    for (const auto& [name, format] : samples) {
        OpenFile(FormatSample(name));
        SCOPED_TRACE(name);
        EXPECT_TRUE(shown.empty()) << (shown.empty() ? "" : shown[0].text.toStdString());
        EXPECT_EQ(frame->currentFormat(), format);
        ASSERT_NE(doc(DocumentKind::Source), nullptr);
        ASSERT_NE(frame->handler(), nullptr);
        EXPECT_EQ(doc(DocumentKind::Source)->windowTitle(), QStringLiteral(" T117 ") + name);
        EXPECT_GT(Lines(doc(DocumentKind::Source)).size(), 3);
        EXPECT_TRUE(zv::FileExists(ws().SourceStandardFile));
        EXPECT_TRUE(MenuOn(cmd::MoveTime));
        shown.clear();
    }
    // Only one source window at a time.
    EXPECT_EQ(frame->documentArea()->subWindowList().size(), 1);
}

TEST_F(OpenSaveTest, AFileOfNoKnownFormatOrWithABadLineIsNotOpened)
{
    OpenFile(WriteFile("notes.txt", "Just some notes\r\n"));
    ASSERT_EQ(Messages(), std::vector<std::string>({"T44: T45"}));
    EXPECT_EQ(doc(DocumentKind::Source), nullptr);
    EXPECT_FALSE(MenuOn(cmd::MoveTime));

    shown.clear();
    OpenFile(WriteFile("bad.sub", "{10}{20}Hello\r\ngarbage here\r\n"));
    ASSERT_EQ(shown.size(), 1u); // the bad line, with the offer to edit the file
    EXPECT_EQ(shown[0].caption, "T52");
    EXPECT_EQ(doc(DocumentKind::Source), nullptr);
    EXPECT_EQ(frame->handler(), nullptr);
    EXPECT_FALSE(MenuOn(cmd::MoveTime) || ButtonOn(1049));

    // A cancelled dialog opens nothing.
    frame->Dispatch(cmd::Open);
    Flush();
    EXPECT_EQ(doc(DocumentKind::Source), nullptr);
}

TEST_F(OpenSaveTest, AFileWithoutCrLfIsOfferedToTheLineEndRepairInsteadOfOpened)
{
    const std::string lf = WriteFile("unix.sub", "{10}{20}Hello\n{30}{40}World\n");
    answers = {zv::Answer::No};
    OpenFile(lf);
    ASSERT_EQ(Messages(), std::vector<std::string>({"T44: T354"}));
    EXPECT_EQ(doc(DocumentKind::Source), nullptr);
    EXPECT_EQ(doc(DocumentKind::Destination), nullptr);

    answers = {zv::Answer::Yes};
    OpenFile(lf);
    while (QWidget* w = QApplication::activeModalWidget())
        w->close();
    Flush();
    EXPECT_EQ(doc(DocumentKind::Source), nullptr);
    ASSERT_NE(doc(DocumentKind::Destination), nullptr);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{10}{20}Hello\r\n{30}{40}World\r\n");
    EXPECT_EQ(Lines(doc(DocumentKind::Destination)), QStringList({" ", "{10}{20}Hello", "{30}{40}World"}));
    EXPECT_TRUE(MenuOn(cmd::Save) && MenuOn(cmd::SaveAs));
    EXPECT_FALSE(MenuOn(cmd::MoveTime));

    // Saving the repair writes it over the damaged file.
    answers = {zv::Answer::Yes};
    frame->Dispatch(cmd::Save);
    EXPECT_EQ(ReadFile(lf), "{10}{20}Hello\r\n{30}{40}World\r\n");

    // With the check switched off the file opens as it is.
    settings.WriteSetting("_CNF_ASK_10", "1");
    const std::string lf2 = WriteFile("unix2.sub", "{10}{20}Hello\n");
    shown.clear();
    OpenFile(lf2);
    EXPECT_TRUE(shown.empty());
    ASSERT_NE(doc(DocumentKind::Source), nullptr);
    EXPECT_EQ(Lines(doc(DocumentKind::Source)), QStringList({" ", "{10}{20}Hello"})); // no character lost
}

TEST_F(OpenSaveTest, AFileThatCannotBeReadIsReportedOnceAndNotOfferedForRepair)
{
    Drop({QString::fromStdString(Path("vanished.sub"))});
    EXPECT_EQ(Messages(), std::vector<std::string>({"T44: T46"}));
    EXPECT_EQ(doc(DocumentKind::Source), nullptr);
    EXPECT_EQ(doc(DocumentKind::Destination), nullptr);
}

TEST_F(OpenSaveTest, RecentFoldersKeepTheirOrderAndAFifthDropsTheOldest)
{
    for (const char* folder : {"a", "b", "c", "d"})
        OpenFile(FileIn(folder));
    EXPECT_EQ(settings.ReadSetting("LDIR1"), Path("d") + "/");
    EXPECT_EQ(settings.ReadSetting("LDIR4"), Path("a") + "/");
    EXPECT_EQ(settings.ReadSetting("LDIRCURRENT"), Path("d") + "/");

    OpenFile(FileIn("b", "other.sub")); // already listed: no reordering
    EXPECT_EQ(settings.ReadSetting("LDIR1"), Path("d") + "/");
    EXPECT_EQ(settings.ReadSetting("LDIR3"), Path("b") + "/");
    EXPECT_EQ(settings.ReadSetting("LDIRCURRENT"), Path("b") + "/");

    OpenFile(FileIn("e"));
    EXPECT_EQ(settings.ReadSetting("LDIR1"), Path("e") + "/");
    EXPECT_EQ(settings.ReadSetting("LDIR2"), Path("d") + "/");
    EXPECT_EQ(settings.ReadSetting("LDIR3"), Path("c") + "/");
    EXPECT_EQ(settings.ReadSetting("LDIR4"), Path("b") + "/");

    QStringList entries;
    for (QAction* a : frame->recentFoldersMenu()->actions())
        entries << a->text();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0].toStdString(), Path("e") + "/\tCtr+1");
    EXPECT_EQ(entries[3].toStdString(), Path("b") + "/\tCtr+4");

    // Choosing a recent folder starts the open dialog there.
    frame->recentFoldersMenu()->actions()[2]->trigger();
    Flush();
    EXPECT_EQ(dialogs.back().folder.toStdString(), Path("c") + "/");
}

TEST_F(OpenSaveTest, OnlyTheToolbarAcceptsDropsAndOnlyTheFirstFileOpens)
{
    const std::string first = FileIn("drop", "first.sub");
    const std::string second = FileIn("drop", "second.sub");
    Drop({QString::fromStdString(first), QString::fromStdString(second)});
    ASSERT_NE(doc(DocumentKind::Source), nullptr);
    EXPECT_EQ(frame->sourcePath(), first);
    EXPECT_EQ(frame->documentArea()->subWindowList().size(), 1);
    EXPECT_TRUE(dialogs.empty());

    EXPECT_FALSE(frame->acceptDrops());
    EXPECT_FALSE(frame->documentArea()->acceptDrops());
    EXPECT_FALSE(doc(DocumentKind::Source)->list()->acceptDrops());
}

TEST_F(OpenSaveTest, RefusingToLeaveAnUnsavedResultKeepsTheFileSaveWritesTo)
{
    const std::string film = FileIn("keep");
    const std::string other = FileIn("keep", "other.sub");
    OpenFile(film);
    ShowResult("{110}{120}Moved\r\n");
    answers = {zv::Answer::No};
    Drop({QString::fromStdString(other)});
    ASSERT_EQ(Messages(), std::vector<std::string>({"T62: T51"}));
    EXPECT_EQ(frame->sourcePath(), film);

    answers = {zv::Answer::Yes};
    frame->Dispatch(cmd::Save);
    EXPECT_EQ(ReadFile(film), "{110}{120}Moved\r\n");
    EXPECT_EQ(ReadFile(other), "{10}{20}Hello\r\n{30}{40}World\r\n");
}

TEST_F(OpenSaveTest, OpeningAsksAlsoWhenOnlyTheSecondResultIsUnsaved)
{
    OpenFile(FileIn("split"));
    ShowSplit("{1}{2}a\r\n", "{3}{4}b\r\n");
    settings.WriteSetting("_CNF_ASK_3", "1");
    doc(DocumentKind::Destination)->close(); // the second result is now the one left
    Flush();
    answers = {zv::Answer::No};
    OpenFile(FileIn("split", "next.sub"));
    ASSERT_EQ(Messages(), std::vector<std::string>({"T62: T51"}));
    EXPECT_NE(doc(DocumentKind::SecondDestination), nullptr);
    EXPECT_EQ(ReadFile(ws().WorkingCopy), "{3}{4}b\r\n");
}

TEST_F(OpenSaveTest, SaveAsksWritesTheResultOverTheFileAndCountsDown)
{
    const std::string film = FileIn("save");
    OpenFile(film);
    ShowResult("{110}{120}Moved\r\n");
    answers = {zv::Answer::No};
    frame->Dispatch(cmd::Save);
    ASSERT_EQ(Messages(), std::vector<std::string>({"T61: T59"}));
    EXPECT_EQ(shown[0].icon, zv::Icon::Question);
    EXPECT_EQ(ReadFile(film), "{10}{20}Hello\r\n{30}{40}World\r\n");

    answers = {zv::Answer::Yes};
    frame->Dispatch(cmd::Save);
    EXPECT_EQ(ReadFile(film), "{110}{120}Moved\r\n");
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "-1");
    EXPECT_TRUE(frame->documentArea()->subWindowList().isEmpty());
    EXPECT_EQ(frame->context().OperationDoneFlag, 0);
    EXPECT_FALSE(MenuOn(cmd::Save) || MenuOn(cmd::MoveTime) || ButtonOn(1047));
    EXPECT_EQ(FolderEntries(Path("save")), std::vector<std::string>({"film.sub"}));

    OpenFile(film);
    ShowResult("{210}{220}Again\r\n");
    answers = {zv::Answer::Yes};
    frame->Dispatch(cmd::Save);
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "-2");
}

TEST_F(OpenSaveTest, SaveReplacesAReadOnlyFileAndKeepsItReadOnly)
{
    const std::string film = FileIn("readonly");
    ::chmod(film.c_str(), 0444);
    OpenFile(film);
    ShowResult("{110}{120}Moved\r\n");
    answers = {zv::Answer::Yes};
    frame->Dispatch(cmd::Save);
    EXPECT_EQ(ReadFile(film), "{110}{120}Moved\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(film.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST_F(OpenSaveTest, ASaveThatCannotReplaceTheFileLeavesItIntactAndOffersRetry)
{
    const std::string film = FileIn("fail");
    OpenFile(film);
    ShowResult("{110}{120}Moved\r\n");
    // The name now belongs to a folder: the finished copy cannot be renamed over it.
    ::unlink(film.c_str());
    ::mkdir(film.c_str(), 0755);
    WriteFile("fail/film.sub/inside", "kept");

    answers = {zv::Answer::Yes, zv::Answer::Cancel};
    frame->Dispatch(cmd::Save);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].caption, "T52");
    EXPECT_TRUE(shown[1].text.startsWith("T53\n\n")) << shown[1].text.toStdString();
    EXPECT_GT(shown[1].text.size(), 6); // the system's reason follows
    EXPECT_EQ(shown[1].buttons, zv::Buttons::RetryCancel);
    EXPECT_EQ(shown[1].icon, zv::Icon::Stop);
    EXPECT_EQ(ReadFile(Path("fail/film.sub/inside")), "kept");
    EXPECT_EQ(FolderEntries(Path("fail")), std::vector<std::string>({"film.sub"})); // no half-written copy
    // Nothing was saved: the result is still there to save.
    EXPECT_NE(doc(DocumentKind::Destination), nullptr);
    EXPECT_EQ(frame->context().OperationDoneFlag, 1);
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "");

    // Retry after the user has cleared the way.
    shown.clear();
    answers = {zv::Answer::Yes, zv::Answer::Retry};
    onMessage = [&](const Shown& s) {
        if (s.buttons == zv::Buttons::RetryCancel) {
            ::unlink(Path("fail/film.sub/inside").c_str());
            ::rmdir(film.c_str());
        }
    };
    frame->Dispatch(cmd::Save);
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_EQ(ReadFile(film), "{110}{120}Moved\r\n");
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "-1");
}

TEST_F(OpenSaveTest, SaveAsWritesANewFileWhichBecomesTheOpenedOne)
{
    const std::string film = FileIn("saveas");
    OpenFile(film);
    ShowResult("{110}{120}Moved\r\n");
    frame->Dispatch(cmd::SaveAs); // cancelled
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_TRUE(dialogs[1].save);
    EXPECT_EQ(dialogs[1].selected.toStdString(), film);
    EXPECT_EQ(dialogs[1].folder.toStdString(), Path("saveas") + "/");
    EXPECT_NE(doc(DocumentKind::Destination), nullptr);
    EXPECT_EQ(frame->sourcePath(), film);

    const std::string copy = Path("saveas/moved.sub");
    files.push_back(QString::fromStdString(copy));
    frame->Dispatch(cmd::SaveAs);
    EXPECT_EQ(ReadFile(copy), "{110}{120}Moved\r\n");
    EXPECT_EQ(ReadFile(film), "{10}{20}Hello\r\n{30}{40}World\r\n");
    EXPECT_EQ(frame->sourcePath(), copy);
    EXPECT_EQ(frame->sourceTitle(), "moved.sub");
    EXPECT_TRUE(frame->documentArea()->subWindowList().isEmpty());
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "-1");
    EXPECT_TRUE(shown.empty());
}

TEST_F(OpenSaveTest, TwoResultsAreSavedThroughTheTwoFileDialogAndTheirWindowsClose)
{
    OpenFile(FileIn("two"));
    ShowSplit("{1}{2}first part\r\n", "{3}{4}second part\r\n");
    const std::string second = Path("two/part2.sub");
    files.push_back(QString::fromStdString(second));
    // Only the second result is chosen and saved.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), "142");
        EXPECT_FALSE(frame->toolbar()->isEnabled());
        dialog->findChild<QAbstractButton*>("1032")->click();
        QCoreApplication::processEvents();
        dialog->findChild<QAbstractButton*>("1")->click();
    });
    frame->Dispatch(cmd::SaveAs);
    Flush();
    EXPECT_TRUE(frame->toolbar()->isEnabled());
    EXPECT_EQ(ReadFile(second), "{3}{4}second part\r\n");
    EXPECT_EQ(doc(DocumentKind::SecondDestination), nullptr);
    ASSERT_NE(doc(DocumentKind::Destination), nullptr);
    EXPECT_EQ(frame->context().SecondDoneFlag, 0);
    EXPECT_EQ(frame->context().OperationDoneFlag, 1);
    // The first result alone can now be saved over the file.
    EXPECT_TRUE(MenuOn(cmd::Save) && ButtonOn(1047));
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "");
}

TEST_F(OpenSaveTest, UniteFirstChoosesASecondFileOfTheSameFormat)
{
    OpenFile(FileIn("unite"));
    files.push_back(QString::fromStdString(WriteFile("other.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n")));
    frame->Dispatch(cmd::Unite);
    Flush();
    ASSERT_EQ(Messages(), std::vector<std::string>({"T52: T191"}));
    EXPECT_EQ(doc(DocumentKind::SecondSource), nullptr);

    files.push_back(QString::fromStdString(FileIn("unite", "part2.sub")));
    frame->Dispatch(cmd::Unite);
    Flush();
    ASSERT_NE(doc(DocumentKind::SecondSource), nullptr);
    EXPECT_EQ(frame->secondSourcePath(), Path("unite/part2.sub"));
    EXPECT_EQ(doc(DocumentKind::SecondSource)->objectName(), "MdiSource2Document");
    const QSize area = frame->documentArea()->viewport()->size();
    const int w = area.width() / 2;
    const int d = area.height();
    EXPECT_EQ(doc(DocumentKind::Source)->geometry(), QRect(0, 0, w, d / 2));
    EXPECT_EQ(doc(DocumentKind::SecondSource)->geometry(), QRect(0, d / 2, w, d / 2));
    EXPECT_FALSE(MenuOn(cmd::MoveTime) || MenuOn(cmd::Unite) || MenuOn(cmd::Save));
    EXPECT_TRUE(ButtonOn(1054)); // pressed again, Unite joins the two
    EXPECT_FALSE(ButtonOn(1049));

    // Closing the second file gives the first its whole column and the operations back.
    doc(DocumentKind::SecondSource)->close();
    Flush();
    EXPECT_EQ(doc(DocumentKind::Source)->geometry(), QRect(0, 0, w, d));
    EXPECT_TRUE(MenuOn(cmd::MoveTime) && ButtonOn(1049));
}

} // namespace
} // namespace zv::app::test
