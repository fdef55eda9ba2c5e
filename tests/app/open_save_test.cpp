// Opening files (dialog, drop, recent folders, line-end check), saving results
// (Save, Save as, the two-file dialog) and Unite's choice of a second file.
#include "app/dialogs/donation_dialog.h"
#include "frame_fixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>

namespace zv::app::test {
using qt::ProgressDialog;

namespace {

const char kFilm[] = "{10}{20}Hello\r\n{30}{40}World\r\n"; // what FileIn writes
const char kMoved[] = "{110}{120}Moved\r\n";

class OpenSaveTest : public FrameTest {
protected:
    // The names in a folder of this test, hidden ones included.
    QStringList FilesIn(const char* folder)
    {
        return QDir(QString::fromStdString(Path(folder))).entryList(QDir::AllEntries | QDir::Hidden |
                                                                    QDir::NoDotAndDotDot);
    }
};

TEST_F(OpenSaveTest, EachOfTheEightFormatsOpensInTheSourceWindow)
{
    // Every sample has a line of Polish or French in a Windows code page.
    const std::tuple<const char*, zv::SubtitleFormat, const char*> samples[] = {
        {"tmplayer.txt", zv::SubtitleFormat::TmPlayer, "1250"},
        {"tmplayer_short.txt", zv::SubtitleFormat::TmPlayerShort, "1250"},
        {"microdvd.sub", zv::SubtitleFormat::MicroDvd, "1250"},
        {"mpl2.txt", zv::SubtitleFormat::Mpl2, "1250"},
        {"subrip.srt", zv::SubtitleFormat::SubRip, "1250"},
        {"subviewer1.sub", zv::SubtitleFormat::SubViewer1, "1252"},
        {"ssa.ssa", zv::SubtitleFormat::Ssa, "1252"},
        {"subviewer2.sub", zv::SubtitleFormat::SubViewer2, "1252"},
    };
    for (const auto& [name, format, codePage] : samples) {
        SCOPED_TRACE(name);
        OpenFile(FormatSample(name));
        EXPECT_TRUE(shown.empty());
        EXPECT_EQ(frame->currentFormat(), format);
        EXPECT_EQ(State(), "Source: move unite"); // one source window at a time
        EXPECT_GT(Lines(doc(DocumentKind::Source)).size(), 3);
        EXPECT_EQ(doc(DocumentKind::Source)->windowTitle(),
                  QStringLiteral(" T117 %1 [Windows-%2]").arg(QLatin1String(name), QLatin1String(codePage)));
    }
}

TEST_F(OpenSaveTest, AFileThatCannotBeOpenedIsToldOnceAndNothingIsShown)
{
    const std::pair<std::string, std::string> cases[] = {
        {WriteFile("notes.txt", "Just some notes\r\n"), "T44: T45"},          // no known format
        {Path("vanished.sub"), "T44: T56"},                                    // unreadable: no repair offer
        {WriteFile("bad.sub", "{10}{20}Hello\r\ngarbage here\r\n"), "T52: "}, // the bad line, offered for editing
    };
    for (const auto& [path, message] : cases) {
        SCOPED_TRACE(path);
        shown.clear();
        Drop({QString::fromStdString(path)});
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(Messages()[0].substr(0, message.size()), message);
        EXPECT_EQ(State(), ": ");
    }
}

TEST_F(OpenSaveTest, DamagedLineEndsAreOfferedToTheLineEndRepairInsteadOfOpened)
{
    const std::string damaged = WriteFile("damaged.sub", "{10}{20}Hello\n{30}{40}World\r\n");
    answers = {zv::Answer::No};
    OpenFile(damaged);
    ASSERT_EQ(Messages(), std::vector<std::string>({"T44: T354"}));
    EXPECT_EQ(State(), ": ");

    answers = {zv::Answer::Yes};
    OpenFile(damaged);
    while (QWidget* w = QApplication::activeModalWidget())
        w->close();
    Flush();
    EXPECT_EQ(State(), "Destination: save saveas");
    EXPECT_EQ(Lines(doc(DocumentKind::Destination)), QStringList({" ", "{10}{20}Hello", "{30}{40}World"}));
    // Saving the repair writes it over the damaged file.
    Save(zv::Answer::Yes);
    EXPECT_EQ(ReadFile(damaged), kFilm);

    // With the check switched off the file opens as it is.
    settings.WriteSetting("_CNF_ASK_10", "1");
    shown.clear();
    OpenFile(WriteFile("damaged2.sub", "{10}{20}Hello\n{30}{40}World\r\n"));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(Lines(doc(DocumentKind::Source)), QStringList({" ", "{10}{20}Hello", "{30}{40}World"}));
}

TEST_F(OpenSaveTest, LoneAndDoubledCarriageReturnsAreRepairedAndTheFileThenOpens)
{
    for (const std::string ends : {"\r\r\n", "\r"}) {
        SCOPED_TRACE(ends.size());
        const std::string damaged = WriteFile("cr.sub", "{10}{20}Hello" + ends + "{30}{40}World" + ends);
        shown.clear();
        answers = {zv::Answer::Yes};
        OpenFile(damaged);
        while (QWidget* w = QApplication::activeModalWidget())
            w->close();
        Flush();
        ASSERT_EQ(State(), "Destination: save saveas");
        EXPECT_EQ(Lines(doc(DocumentKind::Destination)), QStringList({" ", "{10}{20}Hello", "{30}{40}World"}));
        Save(zv::Answer::Yes);
        EXPECT_EQ(ReadFile(damaged), kFilm);
        // Opened again, nothing is asked and the file is there.
        shown.clear();
        OpenFile(damaged);
        EXPECT_TRUE(shown.empty());
        EXPECT_EQ(Lines(doc(DocumentKind::Source)), QStringList({" ", "{10}{20}Hello", "{30}{40}World"}));
    }
}

TEST_F(OpenSaveTest, RecentFoldersKeepTheirOrderAndAFifthDropsTheOldest)
{
    const QString root = QString::fromStdString(dir + "/");
    // LDIR1..4 and the current folder, relative to the test's folder.
    auto recent = [&] {
        QStringList all;
        for (const char* key : {"LDIR1", "LDIR2", "LDIR3", "LDIR4", "LDIRCURRENT"})
            all << QString::fromStdString(settings.ReadSetting(key)).remove(root);
        return all.join(QLatin1Char(' '));
    };
    for (const char* folder : {"a", "b", "c", "d"})
        OpenFile(FileIn(folder));
    EXPECT_EQ(recent(), "d/ c/ b/ a/ d/");
    OpenFile(FileIn("b", "other.sub")); // already listed: no reordering
    EXPECT_EQ(recent(), "d/ c/ b/ a/ b/");
    OpenFile(FileIn("e"));
    EXPECT_EQ(recent(), "e/ d/ c/ b/ e/");

    QStringList entries;
    for (QAction* a : frame->recentFoldersMenu()->actions())
        entries << a->text().remove(root);
    EXPECT_EQ(entries, QStringList({"e/\tCtr+1", "d/\tCtr+2", "c/\tCtr+3", "b/\tCtr+4"}));
    // Choosing a recent folder starts the open dialog there.
    frame->recentFoldersMenu()->actions()[2]->trigger();
    Flush();
    EXPECT_EQ(dialogs.back().folder, root + "c/");
}

TEST_F(OpenSaveTest, OnlyTheToolbarAcceptsDropsAndOnlyTheFirstFileOpens)
{
    const std::string first = FileIn("drop", "first.sub");
    Drop({QString::fromStdString(first), QString::fromStdString(FileIn("drop", "second.sub"))});
    EXPECT_EQ(frame->sourcePath(), first);
    EXPECT_EQ(State(), "Source: move unite");
    EXPECT_TRUE(dialogs.empty());
    EXPECT_FALSE(frame->acceptDrops() || frame->documentArea()->acceptDrops() ||
                 doc(DocumentKind::Source)->list()->acceptDrops());
}

TEST_F(OpenSaveTest, SaveAsksReplacesTheFileWholeOrNotAtAllAndCountsDown)
{
    const std::string film = FileIn("save");
    const std::string other = FileIn("save", "other.sub");
    OpenFile(film);
    ShowResult(kMoved);
    // Refusing to leave the result must not change the file Save writes to.
    answers = {zv::Answer::No};
    Drop({QString::fromStdString(other)});
    Save(zv::Answer::No);
    EXPECT_EQ(Messages(), std::vector<std::string>({"T62: T51", "T61: T59"}));
    EXPECT_EQ(shown[1].icon, zv::Icon::Question);
    EXPECT_EQ(ReadFile(film), kFilm);

    // While the name belongs to a folder the finished copy cannot be renamed over it.
    ::unlink(film.c_str());
    ::mkdir(film.c_str(), 0755);
    WriteFile("save/film.sub/inside", "kept");
    answers = {zv::Answer::Cancel};
    Save(zv::Answer::Yes);
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[3].caption, "T52");
    EXPECT_TRUE(shown[3].text.startsWith("T53\n\n") && shown[3].text.size() > 6) // the system's reason follows
        << shown[3].text.toStdString();
    EXPECT_TRUE(shown[3].buttons == zv::Buttons::RetryCancel && shown[3].icon == zv::Icon::Stop);
    EXPECT_EQ(ReadFile(Path("save/film.sub/inside")), "kept");
    EXPECT_EQ(FilesIn("save"), QStringList({"film.sub", "other.sub"})); // no half-written copy
    EXPECT_EQ(State(), "Destination Source: save saveas"); // the result is still there to save
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "");

    // Retry once the user has cleared the way.
    answers = {zv::Answer::Retry};
    onMessage = [&](const Shown& s) {
        if (s.buttons == zv::Buttons::RetryCancel) {
            ::unlink(Path("save/film.sub/inside").c_str());
            ::rmdir(film.c_str());
        }
    };
    Save(zv::Answer::Yes);
    EXPECT_EQ(ReadFile(film), kMoved);
    EXPECT_EQ(ReadFile(other), kFilm);
    EXPECT_EQ(FilesIn("save"), QStringList({"film.sub", "other.sub"}));
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "14");
    EXPECT_EQ(State(), ": ");

    // A read-only file is replaced and stays read-only.
    ::chmod(film.c_str(), 0444);
    OpenFile(film);
    ShowResult("{210}{220}Again\r\n");
    Save(zv::Answer::Yes);
    EXPECT_EQ(ReadFile(film), "{210}{220}Again\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(film.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "13");
}

TEST_F(OpenSaveTest, SaveAsWritesANewFileWhichBecomesTheOpenedOne)
{
    const std::string film = FileIn("saveas");
    OpenFile(film);
    ShowResult(kMoved);
    frame->Dispatch(cmd::SaveAs); // cancelled
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_TRUE(dialogs[1].save);
    EXPECT_EQ(dialogs[1].selected.toStdString(), film);
    EXPECT_EQ(State(), "Destination Source: save saveas");

    RunWithFile(cmd::SaveAs, Path("saveas/moved.sub"));
    EXPECT_EQ(ReadFile(Path("saveas/moved.sub")), kMoved);
    EXPECT_EQ(ReadFile(film), kFilm);
    EXPECT_EQ(frame->sourcePath(), Path("saveas/moved.sub"));
    EXPECT_EQ(frame->sourceTitle(), "moved.sub");
    EXPECT_EQ(State(), ": ");
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "14");
    EXPECT_TRUE(shown.empty());
}

TEST_F(OpenSaveTest, EnterAtAQuestionThatWouldThrowTheResultAwayKeepsIt)
{
    OpenFile(FileIn("enter"));
    ShowResult(kMoved);
    files.push_back(QString::fromStdString(FileIn("enter", "other.sub"))); // what Open would take
    qhost.SetMessageHook({}); // real boxes, answered with Enter
    const std::pair<const char*, std::function<void()>> questions[] = {
        {"T51", [&] { frame->Dispatch(cmd::Open); }},
        {"T168", [&] { doc(DocumentKind::Destination)->close(); }},
        {"T68", [&] { frame->close(); }},
    };
    for (const auto& [text, ask] : questions) {
        QString asked;
        QTimer::singleShot(0, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = box->text();
                QTest::keyClick(box, Qt::Key_Return);
            }
        });
        ask();
        Flush();
        EXPECT_EQ(asked, text);
        ASSERT_EQ(State(), "Destination Source: save saveas") << text;
        EXPECT_TRUE(frame->isVisible()) << text;
    }
    EXPECT_EQ(dialogs.size(), 1u); // no file dialog after the first Open
}

TEST_F(OpenSaveTest, AResultInAnotherFormatIsSavedUnderANameWithThatFormatsExtension)
{
    ::mkdir(Path("conv").c_str(), 0755);
    const std::string mpl2 = "[10][20]One\r\n[30][40]Two\r\n";
    const std::string film = WriteFile("conv/film.txt", mpl2);
    OpenFile(film);
    RunModal(cmd::Convert, [](QDialog* d) {
        ClickChild(d, "1010"); // SubRip
        for (auto* ok : d->findChildren<QPushButton*>(QStringLiteral("1")))
            if (ok->parentWidget()->objectName() != "197") // not the style panel's
                ok->click();
    });
    for (ProgressDialog* p : TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")))
        p->okButton()->click();
    Flush();
    EXPECT_TRUE(doc(DocumentKind::Destination)->windowTitle().contains("T322"))
        << doc(DocumentKind::Destination)->windowTitle().toStdString();

    // Save as offers the file's name with SubRip's extension (cancelled).
    frame->Dispatch(cmd::SaveAs);
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[1].selected.toStdString(), Path("conv/film.srt"));
    // Save asks for a name too instead of writing SubRip into film.txt; a name
    // typed without an extension gets ".srt".
    RunWithFile(cmd::Save, Path("conv/part"));
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_TRUE(dialogs[2].save);
    EXPECT_EQ(dialogs[2].selected.toStdString(), Path("conv/film.srt"));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(ReadFile(film), mpl2);
    EXPECT_EQ(ReadFile(Path("conv/part.srt")).rfind("1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\n", 0), 0u);
    EXPECT_EQ(State(), ": ");
}

TEST_F(OpenSaveTest, TheDonationReminderComesAfterTwentySaves)
{
    const std::string film = FileIn("count");
    for (int save = 1; save <= 20; ++save) {
        OpenFile(film);
        ShowResult(kMoved);
        Save(zv::Answer::Yes);
        EXPECT_EQ(DonationReminderDue(settings), save == 20) << save;
    }
}

TEST_F(OpenSaveTest, TwoResultsAreSavedThroughTheTwoFileDialogAndTheirWindowsClose)
{
    OpenFile(FileIn("two"));
    ShowSplit("{1}{2}first part\r\n", "{3}{4}second part\r\n");
    files.push_back(QString::fromStdString(Path("two/part2.sub")));
    // Only the second result is chosen and saved.
    RunModal(cmd::SaveAs, [](QDialog* dialog) {
        EXPECT_EQ(dialog->objectName(), "142");
        dialog->findChild<QAbstractButton*>("1032")->click();
        QCoreApplication::processEvents();
        dialog->findChild<QAbstractButton*>("1")->click();
    });
    EXPECT_EQ(ReadFile(Path("two/part2.sub")), "{3}{4}second part\r\n");
    // The first result alone is left, to be saved over the file.
    EXPECT_EQ(State(), "Destination Source: save saveas");
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "");
}

TEST_F(OpenSaveTest, UniteFirstChoosesASecondFileOfTheSameFormat)
{
    OpenFile(FileIn("unite"));
    RunWithFile(cmd::Unite, WriteFile("other.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n"));
    ASSERT_EQ(Messages(), std::vector<std::string>({"T52: T191"}));
    EXPECT_EQ(State(), "Source: move unite");

    RunWithFile(cmd::Unite, FileIn("unite", "part2.sub"));
    EXPECT_EQ(frame->secondSourcePath(), Path("unite/part2.sub"));
    ASSERT_EQ(State(), "Source Source2: unite"); // pressed again, Unite joins the two
    const QSize area = frame->documentArea()->viewport()->size();
    EXPECT_EQ(doc(DocumentKind::Source)->geometry(), QRect(0, 0, area.width() / 2, area.height() / 2));
    EXPECT_EQ(doc(DocumentKind::SecondSource)->geometry(),
              QRect(0, area.height() / 2, area.width() / 2, area.height() / 2));

    // Closing the second file gives the first its whole column and the operations back.
    Close(DocumentKind::SecondSource);
    EXPECT_EQ(doc(DocumentKind::Source)->geometry(), QRect(0, 0, area.width() / 2, area.height()));
    EXPECT_EQ(State(), "Source: move unite");

    // Closing the first takes the second with it.
    RunWithFile(cmd::Unite, Path("unite/part2.sub"));
    doc(DocumentKind::Source)->HandleCommand(cmd::Exit);
    Flush();
    EXPECT_EQ(State(), ": ");
}

} // namespace
} // namespace zv::app::test
