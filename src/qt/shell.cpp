#include "qt/shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace zv::qt {

namespace {

UrlOpener& Opener()
{
    static UrlOpener opener;
    return opener;
}

ProgramStarter& Starter()
{
    static ProgramStarter starter;
    return starter;
}

bool IsProgram(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

} // namespace

QUrl HomePage()
{
    return QUrl(QStringLiteral("http://www.zentavo.example/"));
}

QUrl ForumPage()
{
    return QUrl(QStringLiteral("http://www.zentavo.example/forum/"));
}

QUrl SoftwarePage()
{
    return QUrl(QStringLiteral("http://www.zentavo.example/software/"));
}

QUrl OtherSoftwarePage()
{
    return QUrl(QStringLiteral("http://www.zentavo.example/software/other/"));
}

QUrl TranslatorsPage()
{
    return QUrl(QStringLiteral("http://www.zentavo.example/translators/"));
}

QUrl DonationPage(bool polish)
{
    return QUrl(polish ? QStringLiteral("http://www.zentavo.example/pl/wsparcie/")
                       : QStringLiteral("http://www.zentavo.example/donate/"));
}

QUrl MakerEmail()
{
    return QUrl(QStringLiteral("mailto:zentavo@zentavo.example"));
}

bool OpenWithShell(const QUrl& url)
{
    if (Opener())
        return Opener()(url);
    return QDesktopServices::openUrl(url);
}

bool StartProgram(const QString& program, const QStringList& arguments)
{
    if (Starter())
        return Starter()(program, arguments);
    return QProcess::startDetached(program, arguments);
}

void SetShellHooks(UrlOpener opener, ProgramStarter starter)
{
    Opener() = std::move(opener);
    Starter() = std::move(starter);
}

QString UpgradeProgram(const QString& installDir)
{
    const QString name = QStringLiteral("upgrade");
    if (!installDir.isEmpty() && IsProgram(installDir + QLatin1Char('/') + name))
        return installDir + QLatin1Char('/') + name;
    const QString beside = QCoreApplication::applicationDirPath() + QLatin1Char('/') + name;
    if (IsProgram(beside))
        return beside;
    // An installation keeps it out of the search path, in its private folder.
    const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') +
                                              QStringLiteral(ZENTAVO_UPGRADE_FROM_BIN));
    if (IsProgram(installed))
        return installed;
    return {};
}

} // namespace zv::qt
