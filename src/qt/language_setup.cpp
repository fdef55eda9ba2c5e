#include "qt/language_setup.h"

#include "qt/file_dialogs.h"

#include "qt/paths.h"
#include "qt/texts.h"
#include "engine/config/setting_names.h"

#include <QFile>

namespace zv::qt {

namespace {

// The key may have vanished since start-up; without it nothing can be
// stored, and the program ends as at any other access to a missing key.
bool KeyMissing(zv::SettingsStore& settings)
{
    auto* keyFile = dynamic_cast<zv::KeyFileSettings*>(&settings);
    if (!keyFile || keyFile->KeyExists())
        return false;
    keyFile->RegistryCorruptedExit(zv::CorruptedForm::Short);
    return true;
}

void Fatal(zv::Host& host, const std::string& text, const std::string& caption, zv::Icon icon)
{
    host.Message(text, caption, zv::Buttons::Ok, icon, zv::Owner::None);
}

} // namespace

InstallationValues LoadInstallationValues(zv::SettingsStore& settings)
{
    InstallationValues values;
    values.installDir = settings.ReadSetting(zv::key::InstallDir);
    values.languagePath = settings.ReadSetting(zv::key::Language);
    values.version = settings.ReadSetting(zv::key::VersionToDisplay);
    return values;
}

LanguageChoice SelectLanguageFile(zv::Host& host, QWidget* owner, std::string& currentPath,
                                  const std::string& installDir, std::string& chosen)
{
    const QString folder = PathText(installDir) + QStringLiteral("/languages");
    const auto picked = AskOpenFileName(owner, folder,
                                        FilterName(kTextLanguageFilter, "Language files") + QStringLiteral(" (*.lan)"));
    if (picked && !picked->isEmpty()) {
        chosen = PathBytes(*picked);
        if (currentPath.empty())
            currentPath = chosen;
        return LanguageChoice::Chosen;
    }
    if (currentPath.empty()) {
        Fatal(host, "You didn't select any LANGUAGE file !\nProgram can't work !", "ERROR", zv::Icon::Stop);
        return LanguageChoice::EndProgram;
    }
    return LanguageChoice::Cancelled;
}

void ChooseMissingLanguageFile(zv::Host& host, zv::SettingsStore& settings, InstallationValues& values)
{
    if (KeyMissing(settings))
        return;
    host.Message("I can't find language file !\n\nClick OK to open dialog window and point file that contains "
                 "language texts.",
                 "Ready to select language ?", zv::Buttons::Ok, zv::Icon::Question, zv::Owner::None);
    std::string chosen;
    switch (SelectLanguageFile(host, nullptr, values.languagePath, values.installDir, chosen)) {
    case LanguageChoice::Chosen:
        settings.WriteSetting(zv::key::Language, chosen);
        Fatal(host, "You selected new LANGUAGE file.\n\nYou must restart program to load new language",
              "Restart program", zv::Icon::Information);
        break;
    case LanguageChoice::Cancelled:
        Fatal(host, "No language files were selected !\nReinstall program !", "ERROR:", zv::Icon::Information);
        break;
    case LanguageChoice::EndProgram:
        break;
    }
}

bool ChangeLanguage(zv::Context& ctx, QWidget* owner, InstallationValues& values)
{
    if (KeyMissing(ctx.settings))
        return false;
    ctx.Tell(104, 105, zv::Buttons::Ok, zv::Icon::Question, zv::Owner::Dialog);
    std::string chosen;
    switch (SelectLanguageFile(ctx.host, owner, values.languagePath, values.installDir, chosen)) {
    case LanguageChoice::Chosen:
        ctx.settings.WriteSetting(zv::key::Language, chosen);
        ctx.Tell(106, 107, zv::Buttons::Ok, zv::Icon::Information, zv::Owner::Dialog);
        return true;
    case LanguageChoice::Cancelled:
        ctx.Tell(47, 48, zv::Buttons::Ok, zv::Icon::Information, zv::Owner::Dialog);
        return true;
    case LanguageChoice::EndProgram:
        break;
    }
    return false;
}

bool LoadLanguageOrSelect(zv::Host& host, zv::SettingsStore& settings, zv::LanguageTexts& texts,
                          InstallationValues& values, std::chrono::milliseconds pause)
{
    if (texts.LoadLanguageFile(values.languagePath, [&host] { host.Beep(); }, pause))
        return true;
    if (values.languagePath.size() < 5)
        Fatal(host, "Language file name is too short !\nPossible error in registry.", "ERROR", zv::Icon::Stop);
    ChooseMissingLanguageFile(host, settings, values);
    return false;
}

} // namespace zv::qt
