// zentavo-setup: the settings key created once, in the user's language, and
// never touched again.
#include "engine/settings.h"
#include "support/engine_fixture.h"

#include <QProcess>

#include <sys/stat.h>
#include <unistd.h>

namespace zv::app::test {
namespace {

class SetupTest : public zv::test::EngineTest {
protected:
    // Runs the setup for a user whose locale variables are given.
    int RunSetup(const std::map<QString, QString>& locale, const QStringList& args = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
            env.remove(name);
        for (const auto& [name, value] : locale)
            env.insert(name, value);
        env.insert("ZENTAVO_REGISTRY", QString::fromStdString(Path("key.reg")));
        QProcess setup;
        setup.setProcessEnvironment(env);
        setup.start(QStringLiteral(ZENTAVO_SETUP_PATH), args);
        if (!setup.waitForFinished(30000) || setup.exitStatus() != QProcess::NormalExit)
            return -1;
        return setup.exitCode();
    }

    std::map<std::string, std::string> Key() { return zv::ParseKey(ReadFile(Path("key.reg"))); }
};

TEST_F(SetupTest, CreatesTheKeyForThisInstallationInThePolishOrEnglishVariant)
{
    const std::string inst = Path("inst");
    ::mkdir(inst.c_str(), 0755);
    ASSERT_EQ(RunSetup({{"LANG", "pl_PL.UTF-8"}}, {QString::fromStdString(inst + "/")}), 0);
    EXPECT_EQ(Key(), (std::map<std::string, std::string>{
                         {"PATH", inst}, {"LANGUAGE", inst + "/languages/polish.lan"}, {"VER", "2.4"},
                         {"HELP_FILE_PATH", inst + "/help/zentavo.html"}, {"Installer Language", "1045"},
                         {"VERSION_TODISPLAY", "2.4"}, {"WINDOW_LEFT", "80"}, {"WINDOW_TOP", "60"},
                         {"WINDOW_RIGHT", "1104"}, {"WINDOW_BOTTOM", "828"}}));

    ::unlink(Path("key.reg").c_str());
    // LC_ALL outranks LANG.
    ASSERT_EQ(RunSetup({{"LANG", "pl_PL.UTF-8"}, {"LC_ALL", "en_GB.UTF-8"}}, {QString::fromStdString(inst)}), 0);
    EXPECT_EQ(Key()["LANGUAGE"], inst + "/languages/english.lan");
    EXPECT_EQ(Key()["Installer Language"], "1033");
}

TEST_F(SetupTest, WithoutAFolderTheKeyNamesTheDataFolderBesideTheProgramAndIsNeverTouchedAgain)
{
    ASSERT_EQ(RunSetup({}), 0);
    const std::string path = Key()["PATH"];
    EXPECT_EQ(path.substr(path.size() - 14), "/share/zentavo") << path;
    EXPECT_EQ(path.find(".."), std::string::npos) << path;
    EXPECT_EQ(Key()["LANGUAGE"], path + "/languages/english.lan");

    const std::string before = ReadFile(Path("key.reg"));
    EXPECT_EQ(RunSetup({{"LANG", "pl_PL"}}, {QString::fromStdString(Path("elsewhere"))}), 0);
    EXPECT_EQ(ReadFile(Path("key.reg")), before);
}

} // namespace
} // namespace zv::app::test
