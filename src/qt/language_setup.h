// The installation values read at start-up, the loading of the language file
// and the choice of another one when it is missing.
#pragma once

#include "engine/context.h"
#include "engine/host/host.h"
#include "engine/config/language.h"
#include "engine/config/settings.h"

#include <chrono>
#include <string>

class QWidget;

namespace zv::qt {

struct InstallationValues {
    std::string installDir;   // PATH
    std::string languagePath; // LANGUAGE
    std::string version;      // VERSION_TODISPLAY
    // "Zentavo " and the version: the frame's title.
    std::string WindowTitle() const { return "Zentavo " + version; }
};

// Reads PATH, LANGUAGE and VERSION_TODISPLAY (a missing key ends the program
// with the "registry is corrupted" message).
InstallationValues LoadInstallationValues(zv::SettingsStore& settings);

// Loads the language file, trying again for a while when it cannot be opened.
// When it stays unreadable the user may choose another file for the next
// start; false then: the program ends (exit code 0) whatever was chosen.
bool LoadLanguageOrSelect(zv::Host& host, zv::SettingsStore& settings, zv::LanguageTexts& texts,
                          InstallationValues& values,
                          std::chrono::milliseconds pause = std::chrono::milliseconds(200));

enum class LanguageChoice { Chosen, Cancelled, EndProgram };
// The language file picker. Chosen: the path is in chosen (and becomes the
// current one when there was none). Cancelled without a current language
// file: the user has been told that the program cannot work; EndProgram.
LanguageChoice SelectLanguageFile(zv::Host& host, QWidget* owner, std::string& currentPath,
                                  const std::string& installDir, std::string& chosen);

// The language file is missing: the user picks one for the next start.
// Always ends in the program's end.
void ChooseMissingLanguageFile(zv::Host& host, zv::SettingsStore& settings, InstallationValues& values);

// The user asks for another language (configuration): the choice is stored
// for the next start. False when the program must end (the settings key is
// gone, or no language file is left at all).
bool ChangeLanguage(zv::Context& ctx, QWidget* owner, InstallationValues& values);

} // namespace zv::qt
