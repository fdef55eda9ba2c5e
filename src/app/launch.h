// Pages, files and helper programs started for the user: when nothing on
// this computer can open one, the user is told so instead of nothing happening.
#pragma once

#include "engine/context.h"

#include <QString>
#include <QUrl>

namespace zv::app {

// Opens a page or file through the desktop; false after telling the user
// that the file is missing or that no program could open it.
bool OpenOrTell(zv::Context& ctx, const QUrl& url, zv::Owner owner);
// Tells the user that what (a page, a file or a program) could not be started.
void TellCannotLaunch(zv::Context& ctx, const QString& what, zv::Owner owner);

} // namespace zv::app
