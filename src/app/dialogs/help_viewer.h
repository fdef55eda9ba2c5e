// The help window: the HTML help file shown at the section of a keyword.
#pragma once

#include <QString>

class QWidget;

namespace zv {
struct Context;
}

namespace zv::app {

// The anchor a keyword's section carries in the help file: lower case, each
// blank a '-' ("MOVE TIME command" -> "move-time-command").
QString HelpAnchor(const QString& keyword);

// The help, readme or FAQ file in the interface's language: "zentavo.html"
// becomes "zentavo.pl.html" for "pl" when that translation is installed; the
// file itself (English) otherwise.
QString LocalizedDocument(const QString& path, const QString& languageCode);

// The same for the language of the loaded language file.
QString LocalizedDocument(const zv::Context& ctx, const QString& path);

// Opens (or reuses) the non-modal help window at the keyword's section, at the
// beginning when the keyword is empty, showing the help file's translation
// into the interface's language when there is one. A missing help file is
// reported in an information box instead.
void ShowHelp(QWidget* parent, const zv::Context& ctx, const QString& helpFile, const QString& keyword);

// F1 of a dialog: the help file the setting HELP_FILE_PATH names, in the
// interface's language.
void ShowDialogHelp(QWidget* parent, zv::Context& ctx, const QString& keyword);

} // namespace zv::app
