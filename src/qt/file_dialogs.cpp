#include "qt/file_dialogs.h"

#include <QFileDialog>

namespace zv::app {

namespace {
FileDialogHook& Hook()
{
    static FileDialogHook hook;
    return hook;
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
