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

// Opens (or reuses) the non-modal help window at the keyword's section, at the
// beginning when the keyword is empty. A missing help file is reported in an
// information box instead.
void ShowHelp(QWidget* parent, const QString& helpFile, const QString& keyword);

// F1 of a dialog: the help file the setting HELP_FILE_PATH names.
void ShowDialogHelp(QWidget* parent, zv::Context& ctx, const QString& keyword);

} // namespace zv::app
