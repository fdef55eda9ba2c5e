// The configuration dialog, the status bar, the tip of the day, the donation
// reminder and the other small windows of the frame.
#include "app/dialogs/about_dialogs.h"
#include "app/dialogs/configuration_dialog.h"
#include "app/dialogs/donation_dialog.h"
#include "app/dialogs/help_viewer.h"
#include "app/dialogs/tip_dialog.h"
#include "app/status_bar.h"
#include "qt/texts.h"
#include "frame_fixture.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace zv::app::test {
using qt::DonationPage;
using qt::ForumPage;
using qt::HomePage;
using qt::MakerEmail;
using qt::OtherSoftwarePage;
using qt::PlainText;
using qt::SetShellHooks;
using qt::TranslatorsPage;

namespace {

// Works the next modal dialog that comes up (also one a posted command opens).
void WhenModal(const std::function<void(QDialog*)>& drive)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, drive] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            drive(dialog);
        }
    });
    poll->start();
}

void Click(QWidget* parent, const char* id)
{
    auto* button = parent->findChild<QAbstractButton*>(QString::fromLatin1(id));
    ASSERT_NE(button, nullptr) << id;
    button->click();
}

bool Ticked(QWidget* parent, const char* id)
{
    return parent->findChild<QCheckBox*>(QString::fromLatin1(id))->isChecked();
}

class ShellWindowsTest : public FrameTest {
protected:
    // The configuration dialog, worked by drive while it is up.
    void Configure(const std::function<void(ConfigurationDialog*)>& drive)
    {
        RunModal(cmd::Configuration, [&](QDialog* d) {
            auto* dialog = qobject_cast<ConfigurationDialog*>(d);
            ASSERT_NE(dialog, nullptr);
            drive(dialog);
            if (dialog->isVisible())
                dialog->accept();
        });
    }
    QWidget* Page(ConfigurationDialog* d, int tab) { return d->tabs()->widget(tab); }
    bool SaveOn(ConfigurationDialog* d, int tab)
    {
        return Page(d, tab)->findChild<QPushButton*>(QStringLiteral("1112"))->isEnabled();
    }
};

TEST_F(ShellWindowsTest, ConfigurationShowsEachRuleAndWritesOnlyWhatTheUserChanged)
{
    settings.WriteSetting("_CNF_ASK_9_NEW", "1");
    settings.WriteSetting("STOPKA_AUTO", "2");
    settings.WriteSetting("_CNF_ASK_11", "0");
    settings.WriteSetting("_CNF_ASK_2", "1");
    for (int round = 0; round < 2; ++round) {
        // The second time shows the same ticks, written or not.
        Configure([&](ConfigurationDialog* d) {
            QWidget* options = Page(d, 0);
            // 1055 (information after Open) is "1" in every frame test, 1061 (tip) too.
            EXPECT_FALSE(Ticked(options, "1055"));
            EXPECT_TRUE(Ticked(options, "1057") && Ticked(options, "1058") && Ticked(options, "1059") &&
                        Ticked(options, "1060") && Ticked(options, "1062"));
            EXPECT_FALSE(Ticked(options, "1061"));
            EXPECT_FALSE(SaveOn(d, 0));
            if (round == 1)
                return;
            ClickChild(options, "1057");
            EXPECT_TRUE(SaveOn(d, 0));
            ClickChild(options, "1057");
            EXPECT_FALSE(SaveOn(d, 0)); // back as stored: nothing to save
            ClickChild(options, "1057");
            // The update checker switches its checks off meanwhile.
            settings.WriteSetting("_CNF_ASK_11", "1");
            Click(options, "1112");
            EXPECT_FALSE(SaveOn(d, 0));
        });
        EXPECT_EQ(settings.ReadSetting("_CNF_ASK_8"), round == 0 ? "1" : "");
        EXPECT_EQ(settings.ReadSetting("_CNF_ASK_11"), round == 0 ? "1" : "0");
        EXPECT_EQ(settings.ReadSetting("STOPKA_AUTO"), "2");
        EXPECT_EQ(settings.ReadSetting("_CNF_ASK_9_NEW"), "1");
        settings.WriteSetting("_CNF_ASK_8", "");
        settings.WriteSetting("_CNF_ASK_11", "0");
    }
    EXPECT_TRUE(shown.empty());

    // Clearing the stamp-line and the effect writes their "off", the empty text.
    Configure([&](ConfigurationDialog* d) {
        ClickChild(Page(d, 0), "1058");
        ClickChild(Page(d, 0), "1062");
        ClickChild(Page(d, 0), "1060");
        Click(Page(d, 0), "1112");
        d->tabs()->setCurrentIndex(1);
        EXPECT_FALSE(Ticked(Page(d, 1), "1051"));
        ClickChild(Page(d, 1), "1051");
        Click(Page(d, 1), "1112");
    });
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_9_NEW"), "");
    EXPECT_EQ(settings.ReadSetting("STOPKA_AUTO"), "");
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_11"), "1");
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_2"), "");
    EXPECT_TRUE(shown.empty());
}

TEST_F(ShellWindowsTest, LeavingAChangedPageAsksUnlessSwitchedOffAndOkKeepsTheOpenPage)
{
    Configure([&](ConfigurationDialog* d) {
        ClickChild(Page(d, 0), "1057");
        answers.push_back(zv::Answer::Yes);
        d->tabs()->setCurrentIndex(1);
        ASSERT_EQ(Messages(), std::vector<std::string>{"T283: T284"});
        EXPECT_EQ(settings.ReadSetting("_CNF_ASK_8"), "1");
        ClickChild(Page(d, 1), "1050");
        answers.push_back(zv::Answer::No);
        d->tabs()->setCurrentIndex(0);
        EXPECT_EQ(shown.size(), 2u);
        EXPECT_EQ(settings.ReadSetting("_CNF_ASK_1"), "");
        d->tabs()->setCurrentIndex(1);
        EXPECT_TRUE(Ticked(Page(d, 1), "1050")); // what is stored, not the dropped change
        // The language page asks nothing.
        d->tabs()->setCurrentIndex(2);
        EXPECT_EQ(shown.size(), 2u);
    });
    EXPECT_EQ(shown.size(), 2u);

    settings.WriteSetting("_CNF_ASK_7", "1");
    shown.clear();
    Configure([&](ConfigurationDialog* d) {
        ClickChild(Page(d, 0), "1059");
        d->tabs()->setCurrentIndex(1); // dropped silently
        ClickChild(Page(d, 1), "1052");
        d->reject(); // Esc drops too
    });
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_10"), "");
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_3"), "");
    Configure([&](ConfigurationDialog* d) {
        d->tabs()->setCurrentIndex(1);
        ClickChild(Page(d, 1), "1052");
        Click(d, "1"); // OK keeps the open page
    });
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_3"), "1");
    EXPECT_TRUE(shown.empty());
}

TEST_F(ShellWindowsTest, LanguagePageListsTheFilesBesideTheCurrentOneAndStoresTheChoice)
{
    ::mkdir(Path("languages").c_str(), 0755);
    const std::string english = WriteFile("languages/english.lan", "x");
    WriteFile("languages/polish.lan", "x");
    WriteFile("languages/notes.txt", "x");
    settings.WriteSetting("LANGUAGE", english);
    Configure([&](ConfigurationDialog* d) {
        d->tabs()->setCurrentIndex(2);
        QWidget* page = Page(d, 2);
        EXPECT_EQ(page->findChild<QLabel*>("1032")->text().toStdString(), english);
        auto* list = page->findChild<QListWidget*>("1116");
        ASSERT_EQ(list->count(), 2);
        list->setCurrentRow(0); // english.lan, the current one: nothing happens
        Click(page, "1112");
        EXPECT_TRUE(shown.empty());
        list->setCurrentRow(1);
        Click(page, "1112");
        EXPECT_EQ(Messages(), std::vector<std::string>{"T107: T106"});
    });
    EXPECT_EQ(settings.ReadSetting("LANGUAGE"), Path("languages/polish.lan"));
}

TEST_F(ShellWindowsTest, StatusBarLineIndicatorTogglesAndClicksOpenTheirWindows)
{
    StatusBar* bar = frame->statusBarPart();
    auto click = [&](int part, Qt::MouseButton button) {
        const QWidget* label = bar->findChild<QLabel*>(QStringLiteral("270.%1").arg(part));
        QTest::mouseClick(bar, button, {}, label->mapTo(bar, label->rect().center()));
        Flush();
    };
    click(StatusBar::Line, Qt::RightButton); // no document: nothing
    click(StatusBar::Line, Qt::LeftButton);
    EXPECT_EQ(bar->PartText(StatusBar::Line), "");

    const std::string file = WriteFile("film.srt", ReadFile(FormatSample("subrip.srt")));
    OpenFile(file);
    doc(DocumentKind::Source)->list()->setCurrentRow(7);
    EXPECT_EQ(bar->PartText(StatusBar::Line), "T445 7");
    const long number = frame->handler()->SubtitleNumberAtLine(7, file);
    click(StatusBar::Line, Qt::LeftButton);
    EXPECT_EQ(bar->PartText(StatusBar::Line), QStringLiteral("->%1<-").arg(number));
    click(StatusBar::Line, Qt::LeftButton);
    EXPECT_EQ(bar->PartText(StatusBar::Line), "T445 7");
    // A new selection shows its line; the next click its subtitle again.
    doc(DocumentKind::Source)->list()->setCurrentRow(3);
    click(StatusBar::Line, Qt::LeftButton);
    EXPECT_TRUE(bar->PartText(StatusBar::Line).startsWith("->"));
    // The file is gone: its line number stays, never "->-1<-".
    std::filesystem::remove(file);
    click(StatusBar::Line, Qt::LeftButton);
    click(StatusBar::Line, Qt::LeftButton);
    EXPECT_EQ(bar->PartText(StatusBar::Line), "T445 3");
    EXPECT_FALSE(shown.empty());

    QStringList windows;
    WhenModal([&](QDialog* d) {
        windows << d->objectName();
        d->reject();
        WhenModal([&](QDialog* next) {
            windows << next->objectName();
            next->reject();
        });
    });
    click(StatusBar::Line, Qt::RightButton);
    click(StatusBar::Hint, Qt::LeftButton);
    EXPECT_EQ(windows, QStringList({"154", "188"}));
}

TEST_F(ShellWindowsTest, HintsRotateAndALongOneTakesOverTheBar)
{
    StatusBar* bar = frame->statusBarPart();
    int picked = 0;
    bar->SetHintTexts([](int n) { return n == 178 ? QString(400, QLatin1Char('w')) : QStringLiteral("T%1").arg(n); },
                      [&](int) { return picked; });
    QStringList seen;
    for (int tick = 0; tick < 5; ++tick) {
        bar->HintTick();
        seen << bar->PartText(StatusBar::Hint);
    }
    EXPECT_EQ(seen, QStringList({"T170", "T170", "", "", "T170"}));
    EXPECT_TRUE(bar->partShown(StatusBar::Line));
    bar->HintTick();
    bar->HintTick();
    bar->HintTick();
    picked = 8;
    bar->HintTick();
    EXPECT_FALSE(bar->partShown(StatusBar::Line));
    bar->HintTick();
    bar->HintTick();
    EXPECT_TRUE(bar->partShown(StatusBar::Line) && bar->partShown(StatusBar::Cpu));
}

TEST_F(ShellWindowsTest, CpuMeterShowsTheLoadBetweenTwoSamplesAndStaysEmptyWithoutStatistics)
{
    StatusBar* bar = frame->statusBarPart();
    const std::string stat = Path("stat");
    auto sample = [&](const std::string& cpuLine) {
        WriteFile("stat", cpuLine + "\ncpu0 1 1 1 1\nintr 5\n");
        bar->SampleCpu();
        return bar->PartText(StatusBar::Cpu);
    };
    bar->SetCpuStatPath(stat);
    bar->SetPartText(StatusBar::Cpu, QString());
    EXPECT_EQ(sample("cpu  100 0 100 800 0 0 0 0 0 0"), "");
    EXPECT_EQ(sample("cpu  100 0 100 800 0 0 0 0 0 0"), ""); // no time passed
    EXPECT_EQ(sample("cpu  150 0 150 900 0 0 0 0 0 0"), "CPU: 50%");
    EXPECT_FALSE(bar->cpuRaised());
    EXPECT_EQ(sample("cpu  200 10 210 930 0 0 0 0 0 0"), "CPU: 80%");
    EXPECT_TRUE(bar->cpuRaised());
    bar->SetCpuStatPath(Path("no-such-stat"));
    bar->SampleCpu();
    EXPECT_EQ(bar->PartText(StatusBar::Cpu), "");
}

TEST_F(ShellWindowsTest, TipsComeInTurnAndTheBoxDecidesTheNextStart)
{
    std::vector<int> tips;
    WhenModal([&](QDialog* d) {
        auto* tip = qobject_cast<TipDialog*>(d);
        ASSERT_NE(tip, nullptr);
        EXPECT_FALSE(Ticked(tip, "1118")); // "1" in every frame test
        for (int i = 0; i < 10; ++i) {
            tips.push_back(tip->tipNumber());
            EXPECT_EQ(tip->findChild<QLabel*>("1134")->text(), QStringLiteral("T%1").arg(tip->tipNumber()));
            Click(tip, "1");
        }
        ClickChild(tip, "1118");
        Click(tip, "2");
    });
    frame->Dispatch(cmd::TipOfTheDay);
    ASSERT_EQ(tips.size(), 10u);
    for (std::size_t i = 1; i < tips.size(); ++i)
        EXPECT_EQ(tips[i], (tips[i - 1] - 170 + 1) % 9 + 170);
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_12"), "");
    // The count goes on where it stopped (one Next after the last one seen).
    WhenModal([&](QDialog* d) {
        EXPECT_EQ(qobject_cast<TipDialog*>(d)->tipNumber(), (tips.back() - 170 + 2) % 9 + 170);
        EXPECT_TRUE(Ticked(d, "1118"));
        ClickChild(d, "1118");
        d->reject();
    });
    frame->Dispatch(cmd::TipOfTheDay);
    EXPECT_EQ(settings.ReadSetting("_CNF_ASK_12"), "1");
}

TEST_F(ShellWindowsTest, DonationReminderCountsSavesAndRemembersNeverAgain)
{
    settings.WriteSetting("NUMBER_OF_SAVED_FILES", "-4");
    EXPECT_FALSE(DonationReminderDue(settings));
    settings.WriteSetting("NUMBER_OF_SAVED_FILES", "-5");
    EXPECT_TRUE(DonationReminderDue(settings));

    settings.WriteSetting("Installer Language", "1045");
    settings.WriteSetting("NUMBER_OF_SAVED_FILES", "10000000");
    WhenModal([&](QDialog* d) {
        EXPECT_EQ(d->objectName(), "196");
        EXPECT_TRUE(Ticked(d, "1050"));
        Click(d, "1136");
    });
    frame->Dispatch(cmd::Donate);
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "10000000");
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened.back(), DonationPage(true));

    settings.WriteSetting("Installer Language", "1033");
    WhenModal([&](QDialog* d) {
        EXPECT_EQ(d->objectName(), "198");
        ClickChild(d, "1050");
        Click(d, "2");
    });
    frame->Dispatch(cmd::Donate);
    EXPECT_EQ(settings.ReadSetting("NUMBER_OF_SAVED_FILES"), "15");
    EXPECT_EQ(opened.size(), 1u);
}

TEST_F(ShellWindowsTest, AboutCreditsAndPagesOpenAndAFailedLaunchIsTold)
{
    QStringList titles;
    for (int command : {cmd::About, cmd::Credits}) {
        WhenModal([&](QDialog* d) {
            titles << d->objectName() + ":" + d->windowTitle();
            Click(d, "1020");
            if (d->objectName() == "109")
                Click(d, "1021");
            d->accept();
        });
        frame->Dispatch(command);
    }
    ASSERT_EQ(titles.size(), 2);
    EXPECT_TRUE(QRegularExpression(R"(^109:\[ T443 \d{4}-\d\d-\d\d - \d\d:\d\d:\d\d \]$)")
                    .match(titles[0])
                    .hasMatch())
        << titles[0].toStdString();
    EXPECT_EQ(titles[1], "117:Zentavo 2.4");
    EXPECT_EQ(opened, std::vector<QUrl>({HomePage(), MakerEmail(), TranslatorsPage()}));
    EXPECT_EQ(MakerEmail().scheme(), "mailto");

    // Other software from its menu does what its button does.
    opened.clear();
    frame->commandAction(cmd::OtherSoftware)->trigger();
    frame->toolbar()->button(1060)->click();
    EXPECT_EQ(opened, std::vector<QUrl>({OtherSoftwarePage(), OtherSoftwarePage()}));
    EXPECT_EQ(frame->toolbar()->button(1060)->accessibleName(), "T390");

    // Nothing on this computer opens a page, nor the missing readme.
    SetShellHooks([](const QUrl&) { return false; }, {});
    frame->Dispatch(cmd::Forum);
    SetShellHooks({}, {});
    frame->Dispatch(cmd::ViewReadme);
    const std::string cannot = "T52: T420\n" + ForumPage().toString().toStdString();
    EXPECT_EQ(Messages(), std::vector<std::string>({cannot, "T44: T46"}));
    EXPECT_EQ(PlainText(QStringLiteral("&Other software\tCtrl+O")), "Other software");
    EXPECT_EQ(PlainText(QStringLiteral("Tom && &Jerry")), "Tom & Jerry");

    // No command of the frame waits for a window that is not there.
    for (int command : {cmd::About, cmd::Configuration, cmd::Credits, cmd::TipOfTheDay, cmd::Donate})
        EXPECT_TRUE(MenuOn(command)) << command;
}

TEST(HelpKeywords, EveryKeywordTheDialogsOpenHasItsSectionInBothHelpFiles)
{
    // The Polish help is a translation: the same sections, in the same order.
    const QString english = QStringLiteral(ZENTAVO_RESOURCE_DIR "/help/zentavo.html");
    const QString polish = QStringLiteral(ZENTAVO_RESOURCE_DIR "/help/zentavo.pl.html");
    EXPECT_EQ(LocalizedDocument(english, QStringLiteral("pl")), polish);
    EXPECT_EQ(LocalizedDocument(english, QStringLiteral("en")), english);
    EXPECT_EQ(LocalizedDocument(english, QStringLiteral("de")), english); // no German help: the English one
    EXPECT_EQ(LocalizedDocument(english, QStringLiteral("../help/zentavo")), english); // a code, never a path
    QStringList anchorsOf[2];
    QString htmlOf[2];
    const QRegularExpression anchor(QStringLiteral(R"re(<a name="([^"]+)")re"));
    for (int i = 0; i < 2; ++i) {
        std::ifstream helpFile((i == 0 ? english : polish).toStdString());
        std::stringstream help;
        help << helpFile.rdbuf();
        htmlOf[i] = QString::fromStdString(help.str());
        ASSERT_FALSE(htmlOf[i].isEmpty()) << i;
        for (auto m = anchor.globalMatch(htmlOf[i]); m.hasNext();)
            anchorsOf[i] << m.next().captured(1);
    }
    EXPECT_EQ(anchorsOf[0], anchorsOf[1]);
    const std::filesystem::path sources = std::filesystem::path(ZENTAVO_TEST_DATA) / "../../src/app";
    const QRegularExpression keyword(QStringLiteral(R"re("([^"]+ command)")re"));
    int found = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(sources)) {
        std::ifstream in(entry.path());
        std::stringstream text;
        text << in.rdbuf();
        auto matches = keyword.globalMatch(QString::fromStdString(text.str()));
        while (matches.hasNext()) {
            const QString k = matches.next().captured(1);
            ++found;
            for (const QString& html : htmlOf)
                EXPECT_TRUE(html.contains(QStringLiteral("name=\"%1\"").arg(HelpAnchor(k))))
                    << k.toStdString() << " in " << entry.path().filename();
        }
    }
    EXPECT_GE(found, 10);
    // Every link of the Polish help leads to one of its sections.
    const QRegularExpression link(QStringLiteral(R"re(<a href="#([^"]+)")re"));
    for (auto m = link.globalMatch(htmlOf[1]); m.hasNext();) {
        const QString target = m.next().captured(1);
        EXPECT_TRUE(anchorsOf[1].contains(target)) << target.toStdString();
    }
}

} // namespace
} // namespace zv::app::test
