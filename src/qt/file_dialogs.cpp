#include "qt/file_dialogs.h"

#include "engine/language.h"
#include "qt/text_codec.h"

#include <QFileDialog>

namespace zv::app {

namespace {
FileDialogHook& Hook()
{
    static FileDialogHook hook;
    return hook;
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
        return Hook()({false, folder, QString(), filter});
    const QString path = QFileDialog::getOpenFileName(parent, QString(), folder, filter);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

std::optional<QString> AskSaveFileName(QWidget* parent, const QString& selected, const QString& folder)
{
    if (Hook())
        return Hook()({true, folder, selected, SubtitleFilter()});
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(SubtitleFilter());
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setDirectory(folder);
    if (!selected.isEmpty())
        dialog.selectFile(selected);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front();
}

} // namespace zv::app
