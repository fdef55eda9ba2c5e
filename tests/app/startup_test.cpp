// The start of the program: one instance per user, the settings key and the
// language file it needs, the update checker, the remembered window place.
#include "app/language_setup.h"
#include "app/startup.h"
#include "frame_fixture.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <unistd.h>

namespace zv::app::test {
namespace {

class StartupTest : public FrameTest {
protected:
    // A settings key that points at a usable installation.
    std::string InstalledKey(const std::string& languagePath)
    {
        zv::KeyFileSettings::CreateKey(Path("key.reg"), {{"PATH", Path("install")}, {"LANGUAGE", languagePath},
                                                         {"VERSION_TODISPLAY", "2.4"}, {"_CNF_ASK_12", "1"}});
        return Path("key.reg");
    }

    // The program as a user would start it, headless and unattended: its
    // messages and file dialogs are written to `log`.
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

    static bool EndedWithZero(QProcess& p, int ms = 30000)
    {
        return p.waitForFinished(ms) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
};

TEST_F(StartupTest, WithoutKeyOrLanguageFileTheProgramTellsWhyAndEndsCleanly)
{
    auto program = Start(Path("no-such-key.reg"), Path("key.log"));
    ASSERT_TRUE(EndedWithZero(*program));
    EXPECT_EQ(ReadFile(Path("key.log")),
              "message Can't run program.: Reinstall Zentavo - registry is corrupted !\n\n"
              "Visit http://www.zentavo.example/ for instalation package.\n");

    program = Start(InstalledKey(Path("gone.lan")), Path("lan.log"));
    ASSERT_TRUE(EndedWithZero(*program));
    EXPECT_EQ(ReadFile(Path("lan.log")),
              "message Ready to select language ?: I can't find language file !\n\nClick OK to open dialog "
              "window and point file that contains language texts.\n"
              "file dialog " + Path("install") + "/languages\n"
              "message ERROR:: No language files were selected !\nReinstall program !\n");
}

TEST_F(StartupTest, ASecondStartRaisesTheFirstAndEndsWithoutTouchingTheSettings)
{
    auto first = Start(InstalledKey(Path("numbered.lan")), Path("first.log"));
    const QString socket = QString::fromStdString(Path("runtime")) + QStringLiteral("/MdiZV_Frame-%1").arg(::getuid());
    for (int waited = 0; !QFileInfo::exists(socket) && waited < 30000; waited += 50)
        QTest::qWait(50);
    ASSERT_TRUE(QFileInfo::exists(socket));

    // The second would complain about its missing key if it went on.
    auto second = Start(Path("no-such-key.reg"), Path("second.log"));
    ASSERT_TRUE(EndedWithZero(*second, 15000));
    EXPECT_FALSE(zv::FileExists(Path("second.log"))) << ReadFile(Path("second.log"));
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
    EXPECT_EQ(Messages()[0], "ERROR: Language file name is too short !\nPossible error in registry.");
    EXPECT_EQ(shown[1].caption, "Ready to select language ?");
    EXPECT_EQ(shown[2].caption, "Restart program");
    EXPECT_EQ(settings.ReadSetting("LANGUAGE"), Path("chosen.lan"));
    EXPECT_EQ(dialogs.at(0).filter, "LANGAGE files (*.lan)");

    // Cancelled without any language file the program cannot work.
    values.languagePath.clear();
    EXPECT_FALSE(LoadLanguageOrSelect(qhost, settings, texts, values, std::chrono::milliseconds(0)));
    EXPECT_EQ(Messages().back(), "ERROR: You didn't select any LANGUAGE file !\nProgram can't work !");

    shown.clear();
    values.languagePath = Path("numbered.lan");
    EXPECT_TRUE(LoadLanguageOrSelect(qhost, settings, texts, values, std::chrono::milliseconds(0)));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(texts.LookupText(110), "T110"); // the frame's own file named a font there
}

TEST_F(StartupTest, AnotherLanguageIsChosenForTheNextStart)
{
    zv::app::InstallationValues values{Path("install"), Path("numbered.lan"), "2.4"};
    files.push_back(QString::fromStdString(Path("install/languages/polish.lan")));
    EXPECT_TRUE(ChangeLanguage(frame->context(), frame.get(), values));
    EXPECT_TRUE(ChangeLanguage(frame->context(), frame.get(), values)); // cancelled
    EXPECT_EQ(Messages(), std::vector<std::string>({"T105: T104", "T107: T106", "T105: T104", "T48: T47"}));
    EXPECT_EQ(settings.ReadSetting("LANGUAGE"), Path("install/languages/polish.lan"));
    EXPECT_EQ(values.languagePath, Path("numbered.lan")); // this run keeps its texts
}

TEST_F(StartupTest, TheWindowRectangleIsStoredOnCloseAndRestoredAtTheNextStart)
{
    // The frame stores its rectangle when it goes; the next starts as main() does.
    auto restart = [&](std::vector<int> stored = {}) {
        frame.reset();
        const char* sides[] = {"WINDOW_LEFT", "WINDOW_TOP", "WINDOW_RIGHT", "WINDOW_BOTTOM"};
        for (size_t i = 0; i < stored.size(); ++i)
            settings.WriteSetting(sides[i], std::to_string(stored[i]));
        MakeFrame();
        frame->hide();
        ShowAtStartGeometry(*frame, StartGeometryFor(settings, QSize(800, 600)));
        Flush();
    };
    frame->setGeometry(40, 60, 500, 300);
    restart();
    EXPECT_EQ(frame->geometry(), QRect(40, 60, 500, 300));

    // A maximised frame stores its full size...
    frame->showMaximized();
    Flush();
    const QRect maximised = frame->geometry();
    frame.reset();
    EXPECT_EQ(settings.ReadNumber("WINDOW_RIGHT") - settings.ReadNumber("WINDOW_LEFT"), maximised.width());
    EXPECT_EQ(settings.ReadNumber("WINDOW_BOTTOM") - settings.ReadNumber("WINDOW_TOP"), maximised.height());
    // ...and one as wide as the screen starts maximised, its normal place 50 pixels inside.
    restart({10, 20, 900, 580});
    EXPECT_TRUE(frame->isMaximized());
    EXPECT_EQ(frame->normalGeometry(), QRect(60, 70, 690, 480));
    restart({30, 40, 100, 150});
    EXPECT_EQ(frame->geometry(), QRect(30, 40, 180, 180)); // never smaller than 180 square

    frame.reset();
    for (const char* side : {"WINDOW_LEFT", "WINDOW_TOP", "WINDOW_RIGHT", "WINDOW_BOTTOM"})
        settings.DeleteSetting(side);
    EXPECT_EQ(StartGeometryFor(settings, QSize(800, 600)).rect, QRect(0, 0, 180, 180)); // first start
}

TEST_F(StartupTest, TheUpdateCheckerRunsOnlyWhenInstalledAndTwiceAtStartUnlessSwitchedOff)
{
    StartUpdateChecker(settings, Path("install"));
    frame->Dispatch(cmd::CheckForUpdate);
    EXPECT_TRUE(started.empty());

    ::mkdir(Path("install").c_str(), 0755);
    ::chmod(WriteFile("install/upgrade", "#!/bin/sh\n").c_str(), 0755);
    const QString upgrade = QString::fromStdString(Path("install/upgrade"));
    StartUpdateChecker(settings, Path("install"));
    frame->Dispatch(cmd::CheckForUpdate);
    EXPECT_EQ(started, std::vector<QString>({upgrade + " 1", upgrade + " 2", upgrade + " "}));

    settings.WriteSetting("_CNF_ASK_11", "1");
    StartUpdateChecker(settings, Path("install"));
    EXPECT_EQ(started.size(), 3u);
}

} // namespace
} // namespace zv::app::test
