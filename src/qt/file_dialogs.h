// Every open and save dialog of the program goes through these calls, so the
// GUI tests can answer them without a real file dialog.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace zv {
class LanguageTexts;
}

namespace zv::qt {

struct FileDialogRequest {
    bool save = false;
    QString folder;    // initial folder
    QString selected;  // initial file name (save)
    QString filter;
    QString extension; // what a name typed without one gets (save)
};

// Answers a request with a path, or nullopt for Cancel.
using FileDialogHook = std::function<std::optional<QString>(const FileDialogRequest&)>;
void SetFileDialogHook(FileDialogHook hook);

// The language texts the filters' names come from; without them (before the
// language file is loaded) the names are English.
void SetFileDialogTexts(const zv::LanguageTexts* texts);
// The name of a filter: language text number, or English without texts.
QString FilterName(int number, const char* english);

// "all supported formats", TXT, SUB, SRT, SSA, All files — the subtitle filter list.
QString SubtitleFilter();
std::optional<QString> AskOpenFileName(QWidget* parent, const QString& folder,
                                       const QString& filter = SubtitleFilter());
// A name typed without an extension gets `extension` (without the dot).
std::optional<QString> AskSaveFileName(QWidget* parent, const QString& selected, const QString& folder,
                                       const QString& extension = QStringLiteral("txt"));
// The path with its file name's extension replaced by `extension` (added when it has none).
QString WithExtension(const QString& path, const QString& extension);

} // namespace zv::qt
