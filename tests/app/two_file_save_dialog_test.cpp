// The dialog that saves Split's two results: a name and a mark for each,
// the second saved first.
#include "app/dialogs/two_file_save_dialog.h"
#include "frame_fixture.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>

#include <unistd.h>

namespace zv::app::test {
namespace {

class TwoFileSaveDialogTest : public FrameTest {
protected:
    TwoFileSaveDialogTest()
    {
        qctx->workspace.WorkingCopy = WriteFile("result1", "first result\r\n");
        qctx->workspace.SecondWorkingCopy = WriteFile("result2", "second result\r\n");
        Reopen();
    }
    void Reopen()
    {
        dialog = std::make_unique<TwoFileSaveDialog>(*qctx, QString::fromStdString(dir), nullptr);
        dialog->show();
    }
    void Click(const char* id) { ClickChild(dialog.get(), id); }
    // Picks a name (nullopt: cancels) for the first (1031) or second (1032) result.
    void Choose(const char* button, const std::optional<std::string>& name)
    {
        files.push_back(name ? std::optional(QString::fromStdString(Path(*name))) : std::nullopt);
        Click(button);
    }
    bool Checked(const char* id) { return dialog->findChild<QCheckBox*>(id)->isChecked(); }
    bool OkOn() { return dialog->findChild<QPushButton*>("1")->isEnabled(); }

    std::unique_ptr<TwoFileSaveDialog> dialog;
};

TEST_F(TwoFileSaveDialogTest, MarksFollowTheChosenNamesAndTheCheckBoxes)
{
    // Without a name a click on a check box changes nothing.
    Click("1050");
    Click("1051");
    EXPECT_FALSE(Checked("1050") || Checked("1051") || OkOn());

    Choose("1031", "part1.txt");
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].save);
    EXPECT_EQ(dialogs[0].folder, QString::fromStdString(dir));
    EXPECT_EQ(dialog->findChild<QLabel*>("1052")->text(), QString::fromStdString(Path("part1.txt")));
    EXPECT_TRUE(Checked("1050") && OkOn());

    // A cancelled choice for the second must not inherit the first one's name.
    Choose("1032", std::nullopt);
    EXPECT_TRUE(dialog->secondTarget().isEmpty() && dialog->findChild<QLabel*>("1055")->text().isEmpty());
    EXPECT_FALSE(Checked("1051"));

    Choose("1032", "part2.txt");
    EXPECT_TRUE(Checked("1051"));
    // OK is on while either result is marked.
    for (const auto& [id, first, second] :
         {std::tuple{"1050", false, true}, {"1051", false, false}, {"1050", true, false}}) {
        Click(id);
        EXPECT_EQ(Checked("1050"), first);
        EXPECT_EQ(Checked("1051"), second);
        EXPECT_EQ(OkOn(), first || second);
    }

    // Choosing again offers the name chosen before; cancelling keeps it.
    Choose("1031", std::nullopt);
    EXPECT_EQ(dialogs.back().selected, QString::fromStdString(Path("part1.txt")));
    EXPECT_EQ(dialog->firstTarget(), QString::fromStdString(Path("part1.txt")));
    EXPECT_TRUE(Checked("1050"));
}

TEST_F(TwoFileSaveDialogTest, TheSameFileForBothIsRefused)
{
    Choose("1031", "part.txt");
    Choose("1032", "part.txt");
    Click("1");
    // Another spelling of the same file would lose the second result as well.
    Choose("1032", "./sub/../part.txt");
    Click("1");
    EXPECT_EQ(Messages(), std::vector<std::string>(2, "T48: T205"));
    EXPECT_EQ(shown[0].icon, zv::Icon::Exclamation);
    EXPECT_EQ(shown[0].window, dialog.get());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(zv::FileExists(Path("part.txt")));
}

TEST_F(TwoFileSaveDialogTest, SavesTheMarkedResultsSecondFirstAndStopsAtAFailure)
{
    const std::string old = "old contents that are longer than the result\r\n";
    // first, second target; whether the first is unmarked; what was saved;
    // the target that cannot be written.
    const std::tuple<const char*, const char*, bool, bool, bool, const char*> cases[] = {
        {"part1.txt", "part2.txt", false, true, true, nullptr},
        {"part1.txt", "part2.txt", true, false, true, nullptr},
        {"missing/part1.txt", "part2.txt", false, false, true, "missing/part1.txt"},
        {"part1.txt", "missing/part2.txt", false, false, false, "missing/part2.txt"},
    };
    for (const auto& [first, second, unmarkFirst, firstSaved, secondSaved, failed] : cases) {
        SCOPED_TRACE(std::string(first) + " " + second);
        WriteFile("part1.txt", old);
        ::unlink(Path("part2.txt").c_str());
        shown.clear();
        Reopen();
        Choose("1031", first);
        Choose("1032", second);
        if (unmarkFirst)
            Click("1050");
        Click("1");
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), failed ? QDialog::Rejected : QDialog::Accepted);
        EXPECT_EQ(ReadFile(Path("part1.txt")), firstSaved ? "first result\r\n" : old);
        EXPECT_EQ(ReadFile(Path("part2.txt")), secondSaved ? "second result\r\n" : "");
        EXPECT_TRUE(dialog->firstSaved() == firstSaved && dialog->secondSaved() == secondSaved);
        EXPECT_TRUE(QDir(QString::fromStdString(dir)).entryList({".zv-*"}, QDir::Hidden | QDir::Files).isEmpty());
        // The system's reason follows the message.
        EXPECT_EQ(Messages(), failed ? std::vector<std::string>({Path(failed) + ": T53\n\nNo such file or directory"})
                                     : std::vector<std::string>());
        if (failed) {
            EXPECT_TRUE(shown[0].icon == zv::Icon::Stop && shown[0].owner == zv::Owner::None);
        }
    }
}

} // namespace
} // namespace zv::app::test
