// Qt's own words — the buttons of a message box, the file dialogs — in the
// language of the language file, from the translations the system's Qt ships.
#pragma once

#include "engine/config/language.h"

#include <QTranslator>

#include <memory>

namespace zv::qt {

// The language text that names the language file's language for Qt ("en", "pl").
inline constexpr int kTextQtLanguage = 135;

// Loads and installs Qt's translations for that language; they stay in use
// while the returned translator lives. Nothing (nullptr) when the system has
// none for it: Qt then keeps its English.
std::unique_ptr<QTranslator> InstallQtTranslations(const zv::LanguageTexts& texts);

} // namespace zv::qt
