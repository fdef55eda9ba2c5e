// What an installer does for Zentavo: the settings key of this user, created
// once with the installation's values and never touched again.
#pragma once

#include <map>
#include <string>

namespace zv::setup {

// The user's language as the locale variables give it (LC_ALL, then
// LC_MESSAGES, then LANG); empty when none is set.
std::string UserLocale();
bool IsPolishLocale(const std::string& locale);

// The installation folder of the program that runs: the data folder beside
// its bin folder.
std::string InstalledDataFolder();

// PATH, LANGUAGE, VERSION_TODISPLAY, HELP_FILE_PATH, Installer Language and VER.
std::map<std::string, std::string> InstallationValues(const std::string& installDir, const std::string& locale);

// A package installs for every user but cannot write into their homes: the
// desktop program's first start creates the key as zentavo-setup would, when
// the key does not exist and the program runs from an installation (its data
// folder holds the language files). An existing key, even a broken one, is
// left alone. True when this call created the key.
bool CreateKeyWhenInstalled();

// zentavo-setup [installation folder]: 0 when the key exists afterwards.
int RunSetup(int argc, char** argv);

} // namespace zv::setup
