#include "qt/file_dialogs.h"

#include "engine/config/language.h"
#include "qt/text_codec.h"

#include <QFileDialog>

namespace zv::qt {

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

const zv::LanguageTexts* filterTexts = nullptr;
} // namespace

void SetFileDialogHook(FileDialogHook hook)
{
    Hook() = std::move(hook);
}

void SetFileDialogTexts(const zv::LanguageTexts* texts)
{
    filterTexts = texts;
}

QString FilterName(int number, const char* english)
{
    if (!filterTexts)
        return QString::fromLatin1(english);
    // A name with brackets or ";;" would break the filter list apart.
    QString name = DecodeText(filterTexts->LookupText(number));
    name.remove(QLatin1Char('(')).remove(QLatin1Char(')')).replace(QLatin1String(";;"), QLatin1String(";"));
    return name.trimmed();
}

QString SubtitleFilter()
{
    return FilterName(136, "All supported formats") + QStringLiteral(" (*.txt *.srt *.sub *.ssa);;") +
           FilterName(137, "TXT files") + QStringLiteral(" (*.txt);;") + FilterName(138, "SUB files") +
           QStringLiteral(" (*.sub);;") + FilterName(139, "SRT files") + QStringLiteral(" (*.srt);;") +
           FilterName(140, "SSA files") + QStringLiteral(" (*.ssa);;") + FilterName(141, "All files") +
           QStringLiteral(" (*)");
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

} // namespace zv::qt
