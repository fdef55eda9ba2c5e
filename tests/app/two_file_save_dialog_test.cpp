#include "app/dialogs/two_file_save_dialog.h"
#include "app/file_dialogs.h"
#include "dialog_fixture.h"
#include "engine/file_io.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <deque>
#include <tuple>
#include <unistd.h>

namespace zv::app::test {
namespace {

class TwoFileSaveDialogTest : public DialogTest {
protected:
    TwoFileSaveDialogTest()
    {
        qctx->workspace.WorkingCopy = WriteFile("result1", "first result\r\n");
        qctx->workspace.SecondWorkingCopy = WriteFile("result2", "second result\r\n");
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
        Reopen();
    }
    ~TwoFileSaveDialogTest() override { SetFileDialogHook({}); }

    void Reopen()
    {
        dialog = std::make_unique<TwoFileSaveDialog>(*qctx, QString::fromStdString(dir), nullptr);
        dialog->show();
    }
    void Click(const char* id)
    {
        QWidget* w = dialog->findChild<QWidget*>(id);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2));
    }
    // Picks a name (nullopt: cancels) for the first (1031) or second (1032) result.
    void Choose(const char* button, const std::optional<std::string>& name)
    {
        picks.push_back(name ? std::optional(QString::fromStdString(Path(*name))) : std::nullopt);
        Click(button);
    }
    bool Checked(const char* id) { return dialog->findChild<QCheckBox*>(id)->isChecked(); }
    QString Label(const char* id) { return dialog->findChild<QLabel*>(id)->text(); }
    QPushButton* Ok() { return dialog->findChild<QPushButton*>("1"); }

    std::unique_ptr<TwoFileSaveDialog> dialog;
    std::deque<std::optional<QString>> picks;
    std::vector<FileDialogRequest> requests;
    bool changeButtonsEnabledDuringAsk = true;
};

TEST_F(TwoFileSaveDialogTest, MarksFollowTheChosenNamesAndTheCheckBoxes)
{
    EXPECT_EQ(dialog->windowTitle(), "T201");
    // Without a name a click on a check box changes nothing.
    Click("1050");
    Click("1051");
    EXPECT_FALSE(Checked("1050") || Checked("1051") || Ok()->isEnabled());

    Choose("1031", "part1.txt");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].folder, QString::fromStdString(dir));
    EXPECT_FALSE(changeButtonsEnabledDuringAsk);
    EXPECT_TRUE(dialog->findChild<QPushButton*>("1031")->isEnabled());
    EXPECT_EQ(Label("1052"), QString::fromStdString(Path("part1.txt")));
    EXPECT_TRUE(Checked("1050") && Ok()->isEnabled());

    // A cancelled choice for the second must not inherit the first one's name.
    Choose("1032", std::nullopt);
    EXPECT_TRUE(dialog->secondTarget().isEmpty());
    EXPECT_TRUE(Label("1055").isEmpty());
    EXPECT_FALSE(Checked("1051"));

    Choose("1032", "part2.txt");
    EXPECT_TRUE(Checked("1051"));
    // OK is on while either result is marked.
    for (const auto& [id, first, second] : {std::tuple{"1050", false, true}, {"1051", false, false}, {"1050", true, false}}) {
        Click(id);
        EXPECT_EQ(Checked("1050"), first);
        EXPECT_EQ(Checked("1051"), second);
        EXPECT_EQ(Ok()->isEnabled(), first || second);
    }

    // Choosing again offers the name chosen before; cancelling keeps it.
    Choose("1031", std::nullopt);
    EXPECT_EQ(requests.back().selected, QString::fromStdString(Path("part1.txt")));
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
    EXPECT_FALSE(zv::FileExists(Path("part.txt")));

    // Another spelling of the same file would lose the second result as well.
    Choose("1032", "./sub/../part.txt");
    Click("1");
    EXPECT_EQ(shown.size(), 2u);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->firstSaved() || dialog->secondSaved());
}

TEST_F(TwoFileSaveDialogTest, SavesTheMarkedResultsSecondFirstAndStopsAtAFailure)
{
    const std::string old = "old contents that are longer than the result\r\n";
    const struct {
        const char *first, *second;
        bool unmarkFirst;
        bool firstSaved, secondSaved;
        const char* failed; // the target that cannot be written, told to the user
    } cases[] = {
        {"part1.txt", "part2.txt", false, true, true, nullptr},
        {"part1.txt", "part2.txt", true, false, true, nullptr},
        {"missing/part1.txt", "part2.txt", false, false, true, "missing/part1.txt"},
        {"part1.txt", "missing/part2.txt", false, false, false, "missing/part2.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " " + c.second);
        WriteFile("part1.txt", old);
        ::unlink(Path("part2.txt").c_str());
        shown.clear();
        Reopen();
        Choose("1031", c.first);
        Choose("1032", c.second);
        if (c.unmarkFirst)
            Click("1050");
        Click("1");
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), c.failed ? QDialog::Rejected : QDialog::Accepted);
        EXPECT_EQ(ReadFile(Path("part1.txt")), c.firstSaved ? "first result\r\n" : old);
        EXPECT_EQ(ReadFile(Path("part2.txt")), c.secondSaved ? "second result\r\n" : "");
        EXPECT_EQ(dialog->firstSaved(), c.firstSaved);
        EXPECT_EQ(dialog->secondSaved(), c.secondSaved);
        EXPECT_TRUE(QDir(QString::fromStdString(dir)).entryList({"*.zv-part"}, QDir::Hidden | QDir::Files).isEmpty());
        if (!c.failed) {
            EXPECT_TRUE(shown.empty());
            continue;
        }
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].request.text, "T53");
        EXPECT_EQ(shown[0].request.caption, QString::fromStdString(Path(c.failed)));
        EXPECT_EQ(shown[0].request.icon, zv::Icon::Stop);
        EXPECT_EQ(shown[0].request.owner, zv::Owner::None);
    }
}

} // namespace
} // namespace zv::app::test
