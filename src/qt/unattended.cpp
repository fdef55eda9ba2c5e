#include "qt/unattended.h"

#include "qt/file_dialogs.h"
#include "qt/qt_host.h"

#include <QFile>

namespace zv::qt {

QString UnattendedLog()
{
    return qEnvironmentVariable("ZENTAVO_UNATTENDED");
}

void LogUnattended(const QString& line)
{
    const QString logPath = UnattendedLog();
    if (logPath.isEmpty())
        return;
    QFile log(logPath);
    if (log.open(QIODevice::Append | QIODevice::Text))
        log.write((line + QLatin1Char('\n')).toUtf8());
}

zv::Answer SafeAnswer(zv::Buttons buttons)
{
    switch (buttons) {
    case zv::Buttons::Ok: return zv::Answer::Ok;
    case zv::Buttons::OkCancel: return zv::Answer::Cancel;
    case zv::Buttons::YesNo: return zv::Answer::No;
    case zv::Buttons::RetryCancel: return zv::Answer::Cancel;
    }
    return zv::Answer::Cancel;
}

void InstallUnattendedMode(QtHost& host)
{
    if (UnattendedLog().isEmpty())
        return;
    host.SetMessageHook([](const MessageRequest& request) -> std::optional<zv::Answer> {
        LogUnattended(QStringLiteral("message %1: %2").arg(request.caption, request.text));
        return SafeAnswer(request.buttons);
    });
    SetFileDialogHook([](const FileDialogRequest& request) -> std::optional<QString> {
        LogUnattended(QStringLiteral("file dialog %1").arg(request.folder));
        return std::nullopt;
    });
}

} // namespace zv::qt
