#include "app/dialogs/two_file_save_dialog.h"
#include "app/file_dialogs.h"
#include "dialog_fixture.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <deque>

namespace zv::app::test {
namespace {

class TwoFileSaveDialogTest : public DialogTest {
protected:
    TwoFileSaveDialogTest()
    {
        WriteFile("result1", "first result\r\n");
        WriteFile("result2", "second result\r\n");
        qctx->workspace.WorkingCopy = Path("result1");
        qctx->workspace.SecondWorkingCopy = Path("result2");
        SetFileDialogHook([this](const FileDialogRequest& r) -> std::optional<QString> {
            requests.push_back(r);
            changeButtonsEnabledDuringAsk = dialog->findChild<QPushButton*>("1031")->isEnabled() ||
                                            dialog->findChild<QPushButton*>("1032")->isEnabled();
            if (picks.empty())
                return std::nullopt;
            const auto pick = picks.front();
            picks.pop_front();
            return pick;
        });
        dialog = std::make_unique<TwoFileSaveDialog>(*qctx, QString::fromStdString(dir), nullptr);
        dialog->show();
    }
    ~TwoFileSaveDialogTest() override { SetFileDialogHook({}); }

    void Click(const char* id)
    {
        QWidget* w = dialog->findChild<QWidget*>(id);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
    }
    // Picks a name for the first (1031) or second (1032) result.
    void Choose(const char* button, const std::string& name)
    {
        picks.push_back(QString::fromStdString(Path(name)));
        Click(button);
    }
    bool Checked(const char* id) { return dialog->findChild<QCheckBox*>(id)->isChecked(); }
    QPushButton* Ok() { return dialog->findChild<QPushButton*>("1"); }
    bool Leftovers() const { return !QDir(QString::fromStdString(dir)).entryList({"*.zv-part"}, QDir::Hidden | QDir::Files).isEmpty(); }

    std::unique_ptr<TwoFileSaveDialog> dialog;
    std::deque<std::optional<QString>> picks;
    std::vector<FileDialogRequest> requests;
    bool changeButtonsEnabledDuringAsk = true;
};

TEST_F(TwoFileSaveDialogTest, StartsWithItsTextsNothingMarkedAndOkOff)
{
    EXPECT_EQ(dialog->objectName(), "142");
    EXPECT_EQ(dialog->windowTitle(), "T201");
    EXPECT_EQ(dialog->findChild<QGroupBox*>("1053")->title(), "T202");
    EXPECT_EQ(dialog->findChild<QGroupBox*>("1054")->title(), "T203");
    EXPECT_EQ(dialog->findChild<QPushButton*>("1031")->text(), "T204");
    EXPECT_EQ(dialog->findChild<QPushButton*>("1032")->text(), "T204");
    EXPECT_EQ(Ok()->text(), "T20");
    EXPECT_EQ(dialog->findChild<QPushButton*>("2")->text(), "T21");
    EXPECT_FALSE(Ok()->isEnabled());
    // Without a name a click on a check box changes nothing.
    Click("1050");
    Click("1051");
    EXPECT_FALSE(Checked("1050"));
    EXPECT_FALSE(Checked("1051"));
    EXPECT_FALSE(Ok()->isEnabled());
}

TEST_F(TwoFileSaveDialogTest, ChoosingANameMarksItAndTheCheckBoxesToggleTheMarks)
{
    Choose("1031", "part1.txt");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].folder, QString::fromStdString(dir));
    EXPECT_FALSE(changeButtonsEnabledDuringAsk);
    EXPECT_TRUE(dialog->findChild<QPushButton*>("1031")->isEnabled());
    EXPECT_EQ(dialog->findChild<QLabel*>("1052")->text(), QString::fromStdString(Path("part1.txt")));
    EXPECT_TRUE(Checked("1050"));
    EXPECT_TRUE(dialog->firstMarked());
    EXPECT_TRUE(Ok()->isEnabled());

    Choose("1032", "part2.txt");
    EXPECT_TRUE(Checked("1051"));
    Click("1050");
    EXPECT_FALSE(Checked("1050"));
    EXPECT_TRUE(Ok()->isEnabled()); // the second is still marked
    Click("1051");
    EXPECT_FALSE(Checked("1051"));
    EXPECT_FALSE(Ok()->isEnabled());
    Click("1050");
    EXPECT_TRUE(Checked("1050"));
    EXPECT_TRUE(Ok()->isEnabled());

    // Choosing again offers the name chosen before.
    Choose("1031", "other.txt");
    EXPECT_EQ(requests.back().selected, QString::fromStdString(Path("part1.txt")));
    EXPECT_TRUE(Checked("1050"));
}

TEST_F(TwoFileSaveDialogTest, ACancelledChoiceKeepsWhatWasThere)
{
    Choose("1031", "part1.txt");
    picks.push_back(std::nullopt);
    Click("1032");
    // The second result must not inherit the first one's name.
    EXPECT_TRUE(dialog->secondTarget().isEmpty());
    EXPECT_TRUE(dialog->findChild<QLabel*>("1055")->text().isEmpty());
    EXPECT_FALSE(Checked("1051"));
    picks.push_back(std::nullopt);
    Click("1031");
    EXPECT_EQ(dialog->firstTarget(), QString::fromStdString(Path("part1.txt")));
    EXPECT_TRUE(Checked("1050"));
}

TEST_F(TwoFileSaveDialogTest, TheSameFileForBothIsRefused)
{
    Choose("1031", "part.txt");
    Choose("1032", "part.txt");
    Click("1");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.text, "T205");
    EXPECT_EQ(shown[0].request.caption, "T48");
    EXPECT_EQ(shown[0].request.icon, zv::Icon::Exclamation);
    EXPECT_EQ(shown[0].owner, dialog.get());
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(zv::test::EngineTest::ReadFile(Path("part.txt")).size());

    // Another spelling of the same file would lose the second result as well.
    Choose("1032", "./sub/../part.txt");
    Click("1");
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->firstSaved() || dialog->secondSaved());
}

TEST_F(TwoFileSaveDialogTest, SavesBothResultsOverExistingFiles)
{
    WriteFile("part1.txt", "old contents that are longer than the result\r\n");
    Choose("1031", "part1.txt");
    Choose("1032", "part2.txt");
    Click("1");
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(ReadFile(Path("part1.txt")), "first result\r\n");
    EXPECT_EQ(ReadFile(Path("part2.txt")), "second result\r\n");
    EXPECT_TRUE(dialog->firstSaved());
    EXPECT_TRUE(dialog->secondSaved());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(Leftovers());
}

TEST_F(TwoFileSaveDialogTest, OnlyTheMarkedResultIsSaved)
{
    Choose("1031", "part1.txt");
    Choose("1032", "part2.txt");
    Click("1050");
    Click("1");
    EXPECT_EQ(ReadFile(Path("part2.txt")), "second result\r\n");
    EXPECT_TRUE(ReadFile(Path("part1.txt")).empty());
    EXPECT_FALSE(dialog->firstSaved());
    EXPECT_TRUE(dialog->secondSaved());
}

TEST_F(TwoFileSaveDialogTest, AFailedCopyIsToldAndEndsTheDialogSecondFileFirst)
{
    // The first target's folder does not exist: the second is already saved.
    Choose("1031", "missing/part1.txt");
    Choose("1032", "part2.txt");
    Click("1");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.text, "T53");
    EXPECT_EQ(shown[0].request.caption, QString::fromStdString(Path("missing/part1.txt")));
    EXPECT_EQ(shown[0].request.icon, zv::Icon::Stop);
    EXPECT_EQ(shown[0].request.owner, zv::Owner::None);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(ReadFile(Path("part2.txt")), "second result\r\n");
    EXPECT_TRUE(dialog->secondSaved());
    EXPECT_FALSE(dialog->firstSaved());
    EXPECT_FALSE(Leftovers());
}

TEST_F(TwoFileSaveDialogTest, WhenTheSecondFailsTheFirstIsNotTouched)
{
    WriteFile("part1.txt", "keep me\r\n");
    Choose("1031", "part1.txt");
    Choose("1032", "missing/part2.txt");
    Click("1");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].request.caption, QString::fromStdString(Path("missing/part2.txt")));
    EXPECT_EQ(ReadFile(Path("part1.txt")), "keep me\r\n");
    EXPECT_FALSE(dialog->firstSaved() || dialog->secondSaved());
    EXPECT_FALSE(dialog->isVisible());
}

} // namespace
} // namespace zv::app::test
