#include "setup/setup.h"

#include "engine/io/file_io.h"
#include "engine/config/settings.h"
#include "engine/config/setting_names.h"

#include <unistd.h>

#include <climits>
#include <filesystem>
#include <cstdlib>
#include <iostream>

namespace zv::setup {

namespace {

// The folder of this program, from the link the system keeps for it.
std::string ProgramFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    const std::string path(buffer, static_cast<std::size_t>(n));
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string Normalised(const std::string& path)
{
    std::error_code ec;
    const auto normal = std::filesystem::weakly_canonical(std::filesystem::absolute(path, ec), ec);
    return ec ? path : normal.string();
}

} // namespace

std::string UserLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value && *value)
            return value;
    return {};
}

bool IsPolishLocale(const std::string& locale)
{
    return locale.rfind("pl", 0) == 0;
}

std::string InstalledDataFolder()
{
    const std::string folder = ProgramFolder();
    if (folder.empty())
        return ZENTAVO_INSTALL_DATADIR;
    return Normalised(folder + "/" + ZENTAVO_DATA_FROM_BIN);
}

std::map<std::string, std::string> InstallationValues(const std::string& installDir, const std::string& locale)
{
    const bool polish = IsPolishLocale(locale);
    return {
        {zv::key::InstallDir, installDir},
        {zv::key::Language, installDir + (polish ? "/languages/polish.lan" : "/languages/english.lan")},
        {zv::key::VersionToDisplay, ZENTAVO_VERSION},
        {zv::key::HelpFilePath, installDir + "/help/zentavo.html"},
        {zv::key::InstallerLanguage, polish ? "1045" : "1033"},
        {zv::key::InstalledVersion, ZENTAVO_VERSION},
        // A first window of a comfortable size; the program itself would start
        // at its 180-pixel minimum with nothing stored.
        {zv::key::WindowLeft, "80"},
        {zv::key::WindowTop, "60"},
        {zv::key::WindowRight, "1104"},
        {zv::key::WindowBottom, "828"},
    };
}

bool CreateKeyWhenInstalled()
{
    const std::string key = zv::DefaultKeyPath();
    if (zv::FileExists(key))
        return false;
    const std::string installDir = InstalledDataFolder();
    if (!zv::FileExists(installDir + "/languages/english.lan"))
        return false;
    return zv::KeyFileSettings::CreateKey(key, InstallationValues(installDir, UserLocale()));
}

int RunSetup(int argc, char** argv)
{
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::cerr << "usage: zentavo-setup [installation folder]\n";
        return 2;
    }
    std::string installDir = argc == 2 ? Normalised(argv[1]) : InstalledDataFolder();
    while (installDir.size() > 1 && installDir.back() == '/')
        installDir.pop_back();
    const std::string key = zv::DefaultKeyPath();
    if (zv::KeyFileSettings::CreateKey(key, InstallationValues(installDir, UserLocale()))) {
        std::cout << "zentavo-setup: created the settings key " << key << " for " << installDir << "\n";
        return 0;
    }
    if (zv::FileExists(key)) {
        std::cout << "zentavo-setup: the settings key " << key << " exists and is left as it is\n";
        return 0;
    }
    std::cerr << "zentavo-setup: cannot create the settings key " << key << "\n";
    return 1;
}

} // namespace zv::setup
