// Language texts as the widgets show them.
#pragma once

#include "qt/text_codec.h"
#include "engine/context.h"

#include <QString>

namespace zv::qt {

// A pipe, socket or device named where the program reads a file.
inline constexpr int kTextNoFile = 424;
// The help file is not where the settings say.
inline constexpr int kTextHelpFileMissing = 442;
// The About window's title before the build's date and time.
inline constexpr int kTextCompiled = 443;
// The status bar's line part while the subtitle number is being found, and
// before the selected line's number.
inline constexpr int kTextCounting = 444;
inline constexpr int kTextLine = 445;
// The splash window's slogan.
inline constexpr int kTextSplashSlogan = 446;
// The file dialog's filter of language files.
inline constexpr int kTextLanguageFilter = 447;

inline QString Tr(const Context& ctx, int number)
{
    return DecodeText(ctx.Text(number));
}

// A menu text as a name or tool tip reads it: without its mnemonic marks
// ("&&" stays one "&") and without the shortcut after its tab.
inline QString PlainText(const QString& menuText)
{
    QString plain;
    const QString text = menuText.section(QLatin1Char('\t'), 0, 0).trimmed();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        plain += text[i];
    }
    return plain;
}

} // namespace zv::qt
