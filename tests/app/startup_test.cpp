// The start of the program: one instance per user, the settings key and the
// language file it needs, the update checker, the remembered window place;
// and the setup program that creates the key.
#include "qt/language_setup.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "engine/config/settings.h"
#include "frame_fixture.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <unistd.h>

namespace zv::app::test {
using qt::ChangeLanguage;
using qt::LoadLanguageOrSelect;

namespace {

class StartupTest : public FrameTest {
protected:
    // A program as a user would start it: headless, in no particular language
    // unless `env` says so, with the settings key `key`.
    std::unique_ptr<QProcess> Start(const char* program, const std::string& key, std::map<QString, QString> env,
                                    const QStringList& args = {})
    {
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
            e.remove(name);
        ::mkdir(Path("runtime").c_str(), 0700);
        env.insert({{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_RUNTIME_DIR", QString::fromStdString(Path("runtime"))},
                    {"ZENTAVO_REGISTRY", QString::fromStdString(key)}, {"TEMP", QString::fromStdString(dir)},
                    // The program may end from deep inside start-up; that is not a leak to report.
                    {"ASAN_OPTIONS", "detect_leaks=0"}});
        for (const auto& [name, value] : env)
            e.insert(name, value);
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(e);
        process->start(QString::fromUtf8(program), args);
        return process;
    }
    // Unattended, the program writes its messages and file dialogs to `log`.
    std::unique_ptr<QProcess> StartLogged(const std::string& key, const std::string& log)
    {
        return Start(ZENTAVO_APP_PATH, key, {{"ZENTAVO_UNATTENDED", QString::fromStdString(log)}});
    }
    void RunSetup(std::map<QString, QString> locale, const QStringList& args = {})
    {
        EXPECT_TRUE(EndedWithZero(*Start(ZENTAVO_SETUP_PATH, Path("key.reg"), std::move(locale), args)));
    }
    static bool EndedWithZero(QProcess& p, int ms = 30000)
    {
        return p.waitForFinished(ms) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    std::map<std::string, std::string> Key() { return zv::ParseKey(ReadFile(Path("key.reg"))); }

    // A settings key that points at a usable installation.
    std::string InstalledKey(const std::string& languagePath)
    {
        zv::KeyFileSettings::CreateKey(Path("key.reg"), {{"PATH", Path("install")}, {"LANGUAGE", languagePath},
                                                         {"VERSION_TODISPLAY", "2.4"}, {"_CNF_ASK_12", "1"}});
        return Path("key.reg");
    }
};

TEST_F(StartupTest, WithoutKeyOrLanguageFileTheProgramTellsWhyAndEnds)
{
    // A broken installation is a failure: the status says so, and nothing is
    // left beside the missing key.
    auto program = StartLogged(Path("no-such-key.reg"), Path("key.log"));
    ASSERT_TRUE(program->waitForFinished(30000));
    EXPECT_EQ(program->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program->exitCode(), 1);
    EXPECT_EQ(ReadFile(Path("key.log")),
              "message Can't run program.: Reinstall Zentavo - registry is corrupted !\n\n"
              "Visit http://www.zentavo.example/ for instalation package.\n");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(Path("no-such-key.reg.lock"))));

    program = StartLogged(InstalledKey(Path("gone.lan")), Path("lan.log"));
    ASSERT_TRUE(EndedWithZero(*program));
    EXPECT_EQ(ReadFile(Path("lan.log")),
              "message Ready to select language ?: I can't find language file !\n\nClick OK to open dialog "
              "window and point file that contains language texts.\n"
              "file dialog " + Path("install") + "/languages\n"
              "message ERROR:: No language files were selected !\nReinstall program !\n");
}

TEST_F(StartupTest, ASecondStartRaisesTheFirstAndEndsWithoutTouchingTheSettings)
{
    auto first = StartLogged(InstalledKey(Path("numbered.lan")), Path("first.log"));
    const QString socket = QString::fromStdString(Path("runtime")) + QStringLiteral("/MdiZV_Frame-%1").arg(::getuid());
    for (int waited = 0; !QFileInfo::exists(socket) && waited < 30000; waited += 50)
        QTest::qWait(50);
    ASSERT_TRUE(QFileInfo::exists(socket));

    // The second would complain about its missing key if it went on.
    auto second = StartLogged(Path("no-such-key.reg"), Path("second.log"));
    ASSERT_TRUE(EndedWithZero(*second, 15000));
    EXPECT_FALSE(zv::FileExists(Path("second.log"))) << ReadFile(Path("second.log"));
    EXPECT_EQ(first->state(), QProcess::Running);
    first->kill();
    first->waitForFinished(5000);
}

TEST_F(StartupTest, ASecondStartThatTheBusyFirstDoesNotAnswerSaysSoAndEnds)
{
    // The first is this test, busy waiting for the second to end.
    ::mkdir(Path("runtime").c_str(), 0700);
    SingleInstance first(QString::fromStdString(Path("runtime")) + QStringLiteral("/MdiZV_Frame-%1").arg(::getuid()));
    ASSERT_EQ(first.Claim(), SingleInstance::Claimed::First);
    auto second = Start(ZENTAVO_APP_PATH, InstalledKey(std::string(ZENTAVO_RESOURCE_DIR) + "/languages/english.lan"),
                        {{"ZENTAVO_UNATTENDED", QString::fromStdString(Path("second.log"))}}, {"film.srt"});
    ASSERT_TRUE(EndedWithZero(*second, 30000));
    EXPECT_EQ(ReadFile(Path("second.log")),
              "message Attention: Zentavo is already running, but it is busy and does not answer, so nothing was "
              "handed over to it. Try again when it has finished.\n");
}

TEST_F(StartupTest, AChosenLanguageFileIsStoredForTheNextStart)
{
    // A missing language file is chosen anew...
    zv::qt::InstallationValues values{Path("install"), "", "2.4"};
    files.push_back(QString::fromStdString(Path("chosen.lan")));
    EXPECT_FALSE(LoadLanguageOrSelect(qhost, settings, texts, values, std::chrono::milliseconds(0)));
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(Messages()[0], "ERROR: Language file name is too short !\nPossible error in registry.");
    EXPECT_EQ(shown[2].caption, "Restart program");
    EXPECT_EQ(settings.ReadSetting("LANGUAGE"), Path("chosen.lan"));
    // ...without which the program cannot work.
    values.languagePath.clear();
    EXPECT_FALSE(LoadLanguageOrSelect(qhost, settings, texts, values, std::chrono::milliseconds(0)));
    EXPECT_EQ(Messages().back(), "ERROR: You didn't select any LANGUAGE file !\nProgram can't work !");

    shown.clear();
    values.languagePath = Path("numbered.lan");
    EXPECT_TRUE(LoadLanguageOrSelect(qhost, settings, texts, values, std::chrono::milliseconds(0)));
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(texts.LookupText(110), "T110"); // the frame's own file named a font there

    // Another language chosen from the menu is for the next start.
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
}

TEST_F(StartupTest, TheUpdateCheckerRunsOnlyWhenInstalledAndTwiceAtStartUnlessSwitchedOff)
{
    StartUpdateChecker(settings, Path("install"));
    frame->Dispatch(cmd::CheckForUpdate);
    EXPECT_TRUE(started.empty());

    ::mkdir(Path("install").c_str(), 0755);
    const QString upgrade = QString::fromStdString(WriteFile("install/upgrade", "#!/bin/sh\n"));
    ::chmod(Path("install/upgrade").c_str(), 0755);
    StartUpdateChecker(settings, Path("install"));
    frame->Dispatch(cmd::CheckForUpdate);
    EXPECT_EQ(started, std::vector<QString>({upgrade + " 1", upgrade + " 2", upgrade + " "}));

    settings.WriteSetting("_CNF_ASK_11", "1");
    StartUpdateChecker(settings, Path("install"));
    EXPECT_EQ(started.size(), 3u);
}

// zentavo-setup creates the settings key once, in the user's language.
TEST_F(StartupTest, SetupCreatesTheKeyForThisInstallationInThePolishOrEnglishVariant)
{
    const std::string inst = Path("inst");
    ::mkdir(inst.c_str(), 0755);
    RunSetup({{"LANG", "pl_PL.UTF-8"}}, {QString::fromStdString(inst + "/")});
    EXPECT_EQ(Key(), (std::map<std::string, std::string>{
                         {"PATH", inst}, {"LANGUAGE", inst + "/languages/polish.lan"}, {"VER", "2.4"},
                         {"HELP_FILE_PATH", inst + "/help/zentavo.html"}, {"Installer Language", "1045"},
                         {"VERSION_TODISPLAY", "2.4"}, {"WINDOW_LEFT", "80"}, {"WINDOW_TOP", "60"},
                         {"WINDOW_RIGHT", "1104"}, {"WINDOW_BOTTOM", "828"}}));

    ::unlink(Path("key.reg").c_str());
    RunSetup({{"LANG", "pl_PL.UTF-8"}, {"LC_ALL", "en_GB.UTF-8"}}, {QString::fromStdString(inst)}); // LC_ALL first
    EXPECT_EQ(Key()["LANGUAGE"], inst + "/languages/english.lan");
    EXPECT_EQ(Key()["Installer Language"], "1033");
}

TEST_F(StartupTest, SetupWithoutAFolderNamesTheDataFolderBesideTheProgramAndNeverTouchesAKeyAgain)
{
    RunSetup({});
    const std::string path = Key()["PATH"];
    EXPECT_EQ(path.substr(path.size() - 14), "/share/zentavo") << path;
    EXPECT_EQ(path.find(".."), std::string::npos) << path;
    EXPECT_EQ(Key()["LANGUAGE"], path + "/languages/english.lan");

    const std::string before = ReadFile(Path("key.reg"));
    RunSetup({{"LANG", "pl_PL"}}, {QString::fromStdString(Path("elsewhere"))});
    EXPECT_EQ(ReadFile(Path("key.reg")), before);
}

} // namespace
} // namespace zv::app::test
