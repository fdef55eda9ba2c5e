// Handing files, web pages and helper programs to the desktop. Tests replace
// both calls to see what would have been started.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace zv::qt {

// The maker's pages the Help and Other software menus open.
QUrl HomePage();
QUrl ForumPage();
QUrl SoftwarePage();
QUrl OtherSoftwarePage();
QUrl TranslatorsPage();
// The Polish or the English page.
QUrl DonationPage(bool polish);
// A new e-mail to the maker (mailto:).
QUrl MakerEmail();

// Opens a file or web page with the desktop's default application; false
// when no program could be started for it.
bool OpenWithShell(const QUrl& url);
// Starts a program without waiting for it; false when it could not start.
bool StartProgram(const QString& program, const QStringList& arguments);

using UrlOpener = std::function<bool(const QUrl&)>;
using ProgramStarter = std::function<bool(const QString&, const QStringList&)>;
void SetShellHooks(UrlOpener opener, ProgramStarter starter);

// The update checker of this installation: `upgrade` in the installation
// folder, else beside this program, else in the installation's private
// folder (lib/zentavo beside bin); empty when none exists.
QString UpgradeProgram(const QString& installDir);

} // namespace zv::qt
