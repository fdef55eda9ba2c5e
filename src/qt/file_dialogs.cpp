#include "qt/file_dialogs.h"

#include <QFileDialog>

namespace zv::app {

namespace {
FileDialogHook& Hook()
{
    static FileDialogHook hook;
    return hook;
}

// Where the file name starts in a path.
qsizetype NameStart(const QString& path)
{
    return path.lastIndexOf(QLatin1Char('/')) + 1;
}

// A name typed without an extension gets the one asked for, as the dialog
// itself does; a name with one, even another one, is the user's choice.
QString WithDefaultExtension(const QString& path, const QString& extension)
{
    if (extension.isEmpty() || path.indexOf(QLatin1Char('.'), NameStart(path)) >= 0)
        return path;
    return path + QLatin1Char('.') + extension;
}
} // namespace

void SetFileDialogHook(FileDialogHook hook)
{
    Hook() = std::move(hook);
}

QString SubtitleFilter()
{
    return QStringLiteral("all supported formats (*.txt *.srt *.sub *.ssa);;TXT files (*.txt);;SUB files (*.sub);;"
                          "SRT files (*.srt);;SSA files (*.ssa);;All files (*)");
}

std::optional<QString> AskOpenFileName(QWidget* parent, const QString& folder, const QString& filter)
{
    if (Hook())
        return Hook()({false, folder, QString(), filter, QString()});
    const QString path = QFileDialog::getOpenFileName(parent, QString(), folder, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> AskSaveFileName(QWidget* parent, const QString& selected, const QString& folder,
                                       const QString& extension)
{
    std::optional<QString> chosen;
    if (Hook()) {
        chosen = Hook()({true, folder, selected, SubtitleFilter(), extension});
    } else {
        QFileDialog dialog(parent);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(SubtitleFilter());
        dialog.setDefaultSuffix(extension);
        dialog.setDirectory(folder);
        if (!selected.isEmpty())
            dialog.selectFile(selected);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            chosen = dialog.selectedFiles().front();
    }
    // The desktop's own dialog may hand the name back as it was typed.
    if (!chosen || chosen->isEmpty())
        return std::nullopt;
    return WithDefaultExtension(*chosen, extension);
}

QString WithExtension(const QString& path, const QString& extension)
{
    const qsizetype start = NameStart(path);
    // A leading dot names a hidden file; it is no extension.
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > start ? path.left(dot) : path;
    return extension.isEmpty() ? stem : stem + QLatin1Char('.') + extension;
}

} // namespace zv::app
