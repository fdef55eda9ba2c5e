#include "app/launch.h"

#include "qt/shell.h"

#include <QFileInfo>

namespace zv::app {

using qt::OpenWithShell;

bool OpenOrTell(zv::Context& ctx, const QUrl& url, zv::Owner owner)
{
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile())) {
        ctx.Tell(46, 44, zv::Buttons::Ok, zv::Icon::Stop, owner);
        return false;
    }
    if (OpenWithShell(url))
        return true;
    TellCannotLaunch(ctx, url.isLocalFile() ? url.toLocalFile() : url.toString(), owner);
    return false;
}

void TellCannotLaunch(zv::Context& ctx, const QString& what, zv::Owner owner)
{
    const std::string text = ctx.Text(420) + "\n" + what.toUtf8().toStdString();
    ctx.host.Message(text, ctx.Text(52), zv::Buttons::Ok, zv::Icon::Exclamation, owner);
}

} // namespace zv::app
