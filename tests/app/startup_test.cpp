// The start of the program: one instance per user, the settings key and the
// language file it needs, the update checker, the remembered window place.
#include "app/language_setup.h"
#include "app/startup.h"
#include "frame_fixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace zv::app::test {
namespace {

class StartupTest : public FrameTest {
protected:
    // A settings key that points at a usable installation.
    std::string InstalledKey(const std::string& languagePath)
    {
        const std::string key = Path("key.reg");
        zv::KeyFileSettings::CreateKey(key, {{"PATH", Path("install")},
                                             {"LANGUAGE", languagePath},
                                             {"VERSION_TODISPLAY", "2.4"},
                                             {"_CNF_ASK_12", "1"}});
        return key;
    }

    // The program as a user would start it, headless and unattended.
    std::unique_ptr<QProcess> Start(const std::string& key, const std::string& log)
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        ::mkdir(Path("runtime").c_str(), 0700);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(Path("runtime")));
        env.insert("ZENTAVO_REGISTRY", QString::fromStdString(key));
        env.insert("ZENTAVO_UNATTENDED", QString::fromStdString(log));
        env.insert("TEMP", QString::fromStdString(dir));
        // The program may end from deep inside start-up; that is not a leak to report.
        env.insert("ASAN_OPTIONS", "detect_leaks=0");
        process->setProcessEnvironment(env);
        process->start(QStringLiteral(ZENTAVO_APP_PATH), {});
        return process;
    }

    static bool Ended(QProcess& p, int ms = 30000) { return p.waitForFinished(ms) && p.exitStatus() == QProcess::NormalExit; }
};

TEST_F(StartupTest, AMissingSettingsKeyEndsTheProgramWithTheReinstallMessage)
{
    auto program = Start(Path("no-such-key.reg"), Path("log"));
    ASSERT_TRUE(Ended(*program));
    EXPECT_EQ(program->exitCode(), 0);
    EXPECT_EQ(ReadFile(Path("log")),
              "message Can't run program.: Reinstall Zentavo - registry is corrupted !\n\n"
              "Visit http://www.zentavo.example/ for instalation package.\n");
}

TEST_F(StartupTest, AMissingLanguageFileLetsTheUserChooseOneAndEnds)
{
    auto program = Start(InstalledKey(Path("gone.lan")), Path("log"));
    ASSERT_TRUE(Ended(*program));
    EXPECT_EQ(program->exitCode(), 0);
    const std::string log = ReadFile(Path("log"));
    EXPECT_EQ(log, "message Ready to select language ?: I can't find language file !\n\nClick OK to open dialog "
                   "window and point file that contains language texts.\n"
                   "file dialog " + Path("install") + "/languages\n"
                   "message ERROR:: No language files were selected !\nReinstall program !\n");
}

TEST_F(StartupTest, ASecondStartRaisesTheFirstAndEndsWithoutTouchingTheSettings)
{
    const std::string lan = Path("numbered.lan");
    auto first = Start(InstalledKey(lan), Path("first.log"));
    const QString socket = QString::fromStdString(Path("runtime")) + QStringLiteral("/MdiZV_Frame-%1").arg(::getuid());
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(socket) && waited.elapsed() < 30000)
        QTest::qWait(50);
    ASSERT_TRUE(QFileInfo::exists(socket));

    auto second = Start(Path("no-such-key.reg"), Path("second.log"));
    ASSERT_TRUE(Ended(*second, 15000));
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_FALSE(zv::FileExists(Path("second.log"))) << ReadFile(Path("second.log")); // no message about the missing key
    EXPECT_EQ(first->state(), QProcess::Running);
    first->kill();
    first->waitForFinished(5000);
}

TEST_F(StartupTest, AMissingLanguageFileChosenAnewIsStoredForTheNextStart)
{
    zv::app::InstallationValues values{Path("install"), "", "2.4"};
    files.push_back(QString::fromStdString(Path("chosen.lan")));
    EXPECT_FALSE(LoadLanguageOrSelect(qhost, settings, texts, values, std::chrono::milliseconds(0)));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].caption, "ERROR");
    EXPECT_EQ(shown[0].text, "Language file name is too short !\nPossible error in registry.");
    EXPECT_EQ(shown[1].caption, "Ready to select language ?");
    EXPECT_EQ(shown[2].caption, "Restart program");
    EXPECT_EQ(settings.ReadSetting("LANGUAGE"), Path("chosen.lan"));
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].filter, "LANGAGE files (*.lan)");

    // Cancelled without any language file the program cannot work.
    shown.clear();
    values.languagePath.clear();
    EXPECT_FALSE(LoadLanguageOrSelect(qhost, settings, texts, values, std::chrono::milliseconds(0)));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[2].caption, "ERROR");
    EXPECT_EQ(shown[2].text, "You didn't select any LANGUAGE file !\nProgram can't work !");

    // A readable file loads.
    values.languagePath = zv::test::NumberedLanguageFile(Path("good.lan"));
    shown.clear();
    EXPECT_TRUE(LoadLanguageOrSelect(qhost, settings, texts, values, std::chrono::milliseconds(0)));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(texts.LookupText(7), "T7");
}

TEST_F(StartupTest, AnotherLanguageIsChosenForTheNextStart)
{
    zv::app::InstallationValues values{Path("install"), Path("numbered.lan"), "2.4"};
    files.push_back(QString::fromStdString(Path("install/languages/polish.lan")));
    EXPECT_TRUE(ChangeLanguage(frame->context(), frame.get(), values));
    EXPECT_EQ(Messages(), std::vector<std::string>({"T105: T104", "T107: T106"}));
    EXPECT_EQ(settings.ReadSetting("LANGUAGE"), Path("install/languages/polish.lan"));
    EXPECT_EQ(values.languagePath, Path("numbered.lan")); // this run keeps its texts

    shown.clear();
    EXPECT_TRUE(ChangeLanguage(frame->context(), frame.get(), values)); // cancelled
    EXPECT_EQ(Messages(), std::vector<std::string>({"T105: T104", "T48: T47"}));
    EXPECT_EQ(settings.ReadSetting("LANGUAGE"), Path("install/languages/polish.lan"));
}

TEST_F(StartupTest, TheRememberedRectangleDecidesSizeAndMaximising)
{
    const QSize screen(800, 600);
    auto place = [&](int l, int t, int r, int b) {
        settings.WriteSetting("WINDOW_LEFT", std::to_string(l));
        settings.WriteSetting("WINDOW_TOP", std::to_string(t));
        settings.WriteSetting("WINDOW_RIGHT", std::to_string(r));
        settings.WriteSetting("WINDOW_BOTTOM", std::to_string(b));
        return StartGeometryFor(settings, screen);
    };
    StartGeometry g = place(10, 20, 900, 580);
    EXPECT_TRUE(g.maximised);
    EXPECT_EQ(g.rect, QRect(60, 70, 690, 480)); // restored 50 pixels inside the screen
    g = place(30, 40, 100, 150);
    EXPECT_FALSE(g.maximised);
    EXPECT_EQ(g.rect, QRect(30, 40, 180, 180));
    settings.DeleteSetting("WINDOW_LEFT");
    settings.DeleteSetting("WINDOW_TOP");
    settings.DeleteSetting("WINDOW_RIGHT");
    settings.DeleteSetting("WINDOW_BOTTOM");
    EXPECT_EQ(StartGeometryFor(settings, screen).rect, QRect(0, 0, 180, 180)); // first start

    MakeFrame();
    frame->hide();
    ShowAtStartGeometry(*frame, place(10, 20, 900, 580));
    Flush();
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(frame->normalGeometry(), QRect(60, 70, 690, 480));

    MakeFrame();
    frame->hide();
    ShowAtStartGeometry(*frame, place(30, 40, 100, 150));
    Flush();
    EXPECT_EQ(frame->geometry(), QRect(30, 40, 180, 180)); // the frame can be that small
}

TEST_F(StartupTest, TheUpdateCheckerStartsTwiceWhenInstalledAndNotSwitchedOff)
{
    StartUpdateChecker(settings, Path("install"));
    EXPECT_TRUE(started.empty());

    ::mkdir(Path("install").c_str(), 0755);
    WriteFile("install/upgrade", "#!/bin/sh\n");
    ::chmod(Path("install/upgrade").c_str(), 0755);
    StartUpdateChecker(settings, Path("install"));
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0].toStdString(), Path("install/upgrade") + " 1");
    EXPECT_EQ(started[1].toStdString(), Path("install/upgrade") + " 2");

    settings.WriteSetting("_CNF_ASK_11", "1");
    StartUpdateChecker(settings, Path("install"));
    EXPECT_EQ(started.size(), 2u);
}

} // namespace
} // namespace zv::app::test
