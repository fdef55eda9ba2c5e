#include "qt/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QString>

namespace zv::qt {

std::unique_ptr<QTranslator> InstallQtTranslations(const zv::LanguageTexts& texts)
{
    const QString code = QString::fromStdString(texts.LookupText(kTextQtLanguage)).trimmed();
    // A language file without the line yields the missing-text words, no code.
    if (code.isEmpty() || code.size() > 16 || code.contains(QLatin1Char(' ')))
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    // "qt" is the catalogue that pulls in the base, multimedia and the other modules' ones.
    if (!translator->load(QLocale(code), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

} // namespace zv::qt
