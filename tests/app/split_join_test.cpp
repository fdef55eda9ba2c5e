// Split and Unite from the frame: the dialogs' offers and both ways of typing
// the amount, the two results and their two-file save, and Join keeping the
// first file's header.
#include "app/dialogs/split_join_dialog.h"
#include "frame_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace zv::app::test {
using qt::ProgressDialog;

namespace {

QLineEdit* Edit(QWidget* d, const char* id) { return d->findChild<QLineEdit*>(id); }
QString Label(QWidget* d, const char* id) { return d->findChild<QLabel*>(id)->text(); }
void Ok(QWidget* d) { d->findChild<QPushButton*>("1")->click(); }

class SplitJoinTest : public FrameTest {
protected:
    SplitJoinTest()
    {
        for (const char* quiet : {"_CNF_ASK_10", "_CNF_ASK_2", "_CNF_ASK_3", "_CNF_ASK_6"})
            settings.WriteSetting(quiet, "1");
    }
    // Splits the open file after `line` of the source window.
    void SplitAt(int line, const std::function<void(QDialog*)>& drive)
    {
        frame->SetCurrentLine(line);
        RunModal(cmd::Split, [&](QDialog* d) {
            EXPECT_EQ(d->objectName(), "141");
            drive(d);
        });
        EXPECT_EQ(frame->currentLine(), line); // the selected line stays the line
    }
    // Types a clock amount (and a frame rate) into the time fields.
    static void TypeTime(QDialog* d, const char* h, const char* m, const char* s, const char* fps = nullptr)
    {
        ClickChild(d, "1002");
        Edit(d, "1027")->setText(h);
        Edit(d, "1028")->setText(m);
        Edit(d, "1029")->setText(s);
        if (fps)
            Edit(d, "1030")->setText(fps);
    }
    static void EndProgress()
    {
        for (ProgressDialog* p : TopLevels<ProgressDialog>(QStringLiteral("ProgressWindow")))
            p->okButton()->click();
        Flush();
    }
    QStringList Second() const { return Lines(doc(DocumentKind::SecondDestination)); }
};

const std::string kMicroDvd = "{100}{150}a\r\n{2400}{2450}b\r\n{2500}{2600}c\r\n";

TEST_F(SplitJoinTest, MicroDvdSplitsByFramesOrByTimeAtAFrameRate)
{
    const std::string film = WriteFile("film.sub", kMicroDvd);
    OpenFile(film);
    // Nothing selected yet: the user is told where to select.
    frame->Dispatch(cmd::Split);
    Flush();
    EXPECT_EQ(Messages(), std::vector<std::string>({"T192: T423"}));
    shown.clear();

    SplitAt(2, [](QDialog* d) {
        EXPECT_EQ(Label(d, "1039"), "2400");
        EXPECT_EQ(Label(d, "1044"), "------");
        EXPECT_EQ(Edit(d, "1048")->text(), "2400");
        // The amount on offer is chosen: OK alone takes it.
        EXPECT_TRUE(d->findChild<QRadioButton*>("1001")->isChecked());
        EXPECT_TRUE(Edit(d, "1048")->isEnabled() && !Edit(d, "1027")->isEnabled() && !Edit(d, "1030")->isEnabled());
        Edit(d, "1048")->insert("-x"); // only digits go in
        EXPECT_EQ(Edit(d, "1048")->text(), "2400");
        Ok(d);
    });
    EXPECT_EQ(Lines(doc(DocumentKind::Destination)), QStringList({" ", "{100}{150}a", "{2400}{2450}b"}));
    EXPECT_EQ(Second(), QStringList({" ", "{100}{200}c"}));
    // Two results: only Save as, through the two-file dialog.
    EXPECT_EQ(State(), "Destination Destination2 Source: saveas");

    OpenFile(film);
    SplitAt(2, [&](QDialog* d) {
        TypeTime(d, "0", "1", "30", "");
        EXPECT_TRUE(Edit(d, "1030")->isEnabled() && !Edit(d, "1048")->isEnabled());
        Ok(d); // no frame rate
        TypeTime(d, "200", "0", "0", "25");
        Ok(d); // 18,000,000 frames
        EXPECT_EQ(Messages(), std::vector<std::string>({"T73: T74", "T44: T199"}));
        EXPECT_TRUE(d->isVisible());
        TypeTime(d, "0", "1", "30", "25,0"); // 2,250 frames
        Ok(d);
    });
    EXPECT_EQ(Second(), QStringList({" ", "{250}{350}c"}));
}

TEST_F(SplitJoinTest, SubRipSplitsAtTheSubtitleOfTheSelectedLineAndBothPartsAreSaved)
{
    const std::string srt = "1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\n\r\n"
                            "2\r\n00:01:30,000 --> 00:01:32,000\r\nTwo\r\n\r\n"
                            "3\r\n00:02:00,000 --> 00:02:01,500\r\nThree\r\n";
    ::mkdir(Path("parts").c_str(), 0755);
    OpenFile(WriteFile("parts/movie.srt", srt));
    // The number line of the first subtitle lies before any subtitle.
    frame->SetCurrentLine(1);
    frame->Dispatch(cmd::Split);
    Flush();
    EXPECT_EQ(Messages(), std::vector<std::string>({"T44: T198"}));
    EXPECT_EQ(State(), "Source: move unite");

    // Line 7 is the text of the second subtitle: two subtitles go first.
    for (int round = 0; round < 2; ++round) {
        OpenFile(Path("parts/movie.srt"));
        SplitAt(7, [](QDialog* d) {
            EXPECT_EQ(Label(d, "1039"), "900");
            EXPECT_EQ(Label(d, "1044"), "00:01:30");
            EXPECT_EQ(Edit(d, "1029")->text(), "30");
            ClickChild(d, "1002");
            EXPECT_FALSE(Edit(d, "1030")->isEnabled()); // no frame rate for a timed file
            Ok(d);
        });
    }
    EXPECT_EQ(Lines(doc(DocumentKind::Destination)).size(), 9); // blank, two blocks
    EXPECT_EQ(Second().mid(1, 3), QStringList({"1", "00:00:30,000 --> 00:00:31,500", "Three"}));

    files = {QString::fromStdString(Path("parts/cd1.srt")), QString::fromStdString(Path("parts/cd2.srt"))};
    RunModal(cmd::SaveAs, [](QDialog* d) {
        EXPECT_EQ(d->objectName(), "142");
        d->findChild<QAbstractButton*>("1031")->click();
        d->findChild<QAbstractButton*>("1032")->click();
        Ok(d);
    });
    EXPECT_EQ(ReadFile(Path("parts/cd1.srt")).substr(0, 3), "1\r\n");
    EXPECT_NE(ReadFile(Path("parts/cd1.srt")).find("Two"), std::string::npos);
    EXPECT_NE(ReadFile(Path("parts/cd2.srt")).find("00:00:30,000 --> 00:00:31,500\r\nThree"), std::string::npos);
    EXPECT_EQ(State(), "Source: move unite");
}

TEST_F(SplitJoinTest, UniteJoinsWithAnOffsetTypedEitherWayAndKeepsTheFirstHeader)
{
    const std::string header = "[INFORMATION]\r\n[TITLE]Part one\r\n[END INFORMATION]\r\n";
    const std::string one = WriteFile("one.sub", header + "00:00:01.00,00:00:02.00\r\nA\r\n\r\n"
                                                          "00:01:30.00,00:01:31.00\r\nB\r\n");
    const std::string two = WriteFile("two.sub", "[INFORMATION]\r\n[TITLE]Part two\r\n[END INFORMATION]\r\n"
                                                 "00:00:02.00,00:00:03.00\r\nC\r\n");
    OpenFile(one);
    RunWithFile(cmd::Unite, two);
    // One state for the command: menu entry and button both on.
    EXPECT_EQ(State(), "Source Source2: unite");

    // Cancel, then the amount as tenths and again as a time.
    RunModal(cmd::Unite, [](QDialog* d) {
        EXPECT_EQ(d->objectName(), "177");
        EXPECT_EQ(Label(d, "1039"), "900");
        EXPECT_EQ(Label(d, "1044"), "00:01:30");
        d->reject();
    });
    EXPECT_EQ(State(), "Source Source2: unite");
    RunModal(cmd::Unite, [](QDialog* d) {
        ClickChild(d, "1001");
        Edit(d, "1048")->setText("100");
        Ok(d);
    });
    EndProgress();
    const QStringList joined = Lines(doc(DocumentKind::Destination));
    EXPECT_TRUE(joined.contains("[TITLE]Part one")) << joined.join('\n').toStdString();
    EXPECT_FALSE(joined.contains("[TITLE]Part two"));
    EXPECT_TRUE(joined.contains("00:00:12.00,00:00:13.00"));
    EXPECT_EQ(State(), "Destination Source Source2: save saveas");

    OpenFile(one);
    RunWithFile(cmd::Unite, two);
    RunModal(cmd::Unite, [](QDialog* d) {
        TypeTime(d, "0", "2", "0");
        Ok(d);
    });
    EndProgress();
    EXPECT_TRUE(Lines(doc(DocumentKind::Destination)).contains("00:02:02.00,00:02:03.00"));
    Save(zv::Answer::Yes);
    EXPECT_EQ(ReadFile(one).substr(0, header.size()), header);
}

TEST_F(SplitJoinTest, UniteOfSsaScriptsKeepsTheFirstScriptsHeader)
{
    const auto script = [](const char* title, const char* text) {
        return std::string("[Script Info]\r\nTitle: ") + title +
               "\r\n\r\n[Events]\r\nFormat: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, "
               "Text\r\nDialogue: Marked=0,0:00:01.00,0:00:02.00,Default,,0000,0000,0000,," +
               text + "\r\n";
    };
    OpenFile(WriteFile("one.ssa", script("One", "first")));
    RunWithFile(cmd::Unite, WriteFile("two.ssa", script("Two", "second")));
    RunModal(cmd::Unite, [](QDialog* d) { Ok(d); }); // the offered offset: the first part's last start
    EndProgress();
    const std::string joined = ReadFile(ws().WorkingCopy);
    EXPECT_NE(joined.find("0:00:02.00,0:00:03.00,Default,,0000,0000,0000,,second"), std::string::npos) << joined;
    EXPECT_NE(joined.find("Title: One"), std::string::npos) << joined;
    EXPECT_EQ(joined.find("Title: Two"), std::string::npos) << joined;
    EXPECT_NE(joined.find(",,second"), std::string::npos) << joined;
}

} // namespace
} // namespace zv::app::test
