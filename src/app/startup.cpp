#include "app/startup.h"

#include "app/dialogs/donation_dialog.h"
#include "app/frame.h"
#include "qt/file_dialogs.h"
#include "qt/language_setup.h"
#include "qt/qt_host.h"
#include "qt/qt_translations.h"
#include "qt/resources.h"
#include "qt/shell.h"
#include "app/single_instance.h"
#include "app/splash_window.h"
#include "qt/text_codec.h"
#include "qt/texts.h"
#include "qt/unattended.h"
#include "engine/io/workspace.h"

#include "qt/paths.h"
#include "engine/config/setting_names.h"
#include "setup/setup.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace zv::app {

using qt::DecodeText;
using qt::InstallQtTranslations;
using qt::InstallUnattendedMode;
using qt::InstallationValues;
using qt::LoadInstallationValues;
using qt::LoadLanguageOrSelect;
using qt::LoadResources;
using qt::PathText;
using qt::QtHost;
using qt::SetFileDialogTexts;
using qt::SetInstallerLanguage;
using qt::StartProgram;
using qt::UpgradeProgram;

namespace {

constexpr int kTextRunningProgramBusy = 425;

void ShowDonationReminder(QtHost& host, zv::SettingsStore& settings, const zv::LanguageTexts& texts)
{
    if (!DonationReminderDue(settings))
        return;
    zv::Context ctx(host, settings, texts);
    DonationDialog(ctx, nullptr).exec();
}

// The splash window, unless switched off; it closes itself once the frame is up.
QPointer<SplashWindow> ShowSplash(zv::SettingsStore& settings, const zv::LanguageTexts& texts,
                                  const std::string& windowTitle)
{
    if (!settings.ReadSetting(key::ShowSplash).empty())
        return nullptr;
    auto* splash =
        new SplashWindow(DecodeText(windowTitle), DecodeText(texts.LookupText(zv::qt::kTextSplashSlogan)));
    splash->show();
    splash->raise();
    return splash;
}

// The running program did not take this start's request. Told in the user's
// language when the key names a language file; the key is only read.
void TellRunningProgramIsBusy()
{
    // A key that cannot be read is the running program's business to report.
    struct Silent final : zv::Host {
        zv::Answer Message(const std::string&, const std::string&, zv::Buttons, zv::Icon, zv::Owner) override
        {
            return zv::Answer::Ok;
        }
        std::shared_ptr<zv::ProgressWindow> StartProgressWindow() override { return nullptr; }
    } silent;
    zv::KeyFileSettings settings(zv::DefaultKeyPath(), silent);
    QtHost host;
    InstallUnattendedMode(host);
    zv::LanguageTexts texts;
    if (!texts.LoadOnce(settings.ReadSetting(key::Language)) ||
        texts.LineCount() < kTextRunningProgramBusy)
        texts.LoadOnce(zv::FindLanguageFile("english.lan"));
    const bool known = texts.LineCount() >= kTextRunningProgramBusy;
    host.Message(known ? texts.LookupText(kTextRunningProgramBusy)
                       : "Zentavo is already running, but it is busy and does not answer, so nothing was handed "
                         "over to it. Try again when it has finished.",
                 known ? texts.LookupText(44) : "Attention", zv::Buttons::Ok, zv::Icon::Exclamation,
                 zv::Owner::None);
}

} // namespace

StartGeometry StartGeometryFor(zv::SettingsStore& settings, QSize screen)
{
    long left = settings.ReadNumber(key::WindowLeft);
    long top = settings.ReadNumber(key::WindowTop);
    long right = settings.ReadNumber(key::WindowRight);
    long bottom = settings.ReadNumber(key::WindowBottom);
    StartGeometry g;
    if (right - left >= screen.width()) {
        g.maximised = true;
        left += 50;
        top += 50;
        right = screen.width() - 50;
        bottom = screen.height() - 50;
    }
    const long width = std::max(right - left, 180L);
    const long height = std::max(bottom - top, 180L);
    g.rect = QRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(width), static_cast<int>(height));
    return g;
}

void ShowAtStartGeometry(QWidget& frame, const StartGeometry& geometry)
{
    frame.setGeometry(geometry.rect);
    if (geometry.maximised)
        frame.showMaximized();
    else
        frame.show();
}

void StartUpdateChecker(zv::SettingsStore& settings, const std::string& installDir)
{
    if (!zv::UpdateChecksOn(settings))
        return;
    const QString upgrade = UpgradeProgram(PathText(installDir));
    if (upgrade.isEmpty())
        return;
    StartProgram(upgrade, {QStringLiteral("1")});
    StartProgram(upgrade, {QStringLiteral("2")});
}

QString GivenFile(const QStringList& arguments)
{
    if (arguments.size() < 2 || arguments.at(1).isEmpty())
        return {};
    const QString& given = arguments.at(1);
    // A file manager may hand over a URL instead of a path.
    if (given.startsWith(QLatin1String("file:")))
        return QUrl(given).toLocalFile();
    // The running program has another current folder.
    return QFileInfo(given).absoluteFilePath();
}

int RunZentavo(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The frame ends the program itself, also while a finished progress window is still up.
    QApplication::setQuitOnLastWindowClosed(false);
    LoadResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zentavo.svg")));

    // A file given on the command line (by a file manager: "Open with") is
    // opened here, or by the program already running.
    const QString givenFile = GivenFile(QCoreApplication::arguments());
    SingleInstance instance;
    switch (instance.Claim(givenFile)) {
    case SingleInstance::Claimed::First:
        break;
    case SingleInstance::Claimed::HandedOver:
        return 0;
    case SingleInstance::Claimed::Busy:
        TellRunningProgramIsBusy();
        return 0;
    }

    QtHost host;
    InstallUnattendedMode(host);
    // Installed from a package, nobody has created this user's key yet.
    zv::setup::CreateKeyWhenInstalled();
    // The run's private work folder, made once the key is known to be there.
    static std::string runFolder;
    // A key that is missing or unusable ends the program with an error
    // status; the user has been told to reinstall.
    zv::KeyFileSettings settings(zv::DefaultKeyPath(), host, [] {
        zv::RemoveRunFolder(runFolder);
        std::exit(1);
    });
    InstallationValues values = LoadInstallationValues(settings);
    zv::LanguageTexts texts;
    if (!LoadLanguageOrSelect(host, settings, texts, values))
        return 0;
    host.SetTexts(&texts);
    const auto qtTranslations = InstallQtTranslations(texts);
    SetFileDialogTexts(&texts);
    settings.UseTexts(&texts);
    SetInstallerLanguage(static_cast<int>(settings.ReadNumber(key::InstallerLanguage)));

    StartUpdateChecker(settings, values.installDir);
    ShowDonationReminder(host, settings, texts);
    const QPointer<SplashWindow> splash = ShowSplash(settings, texts, values.WindowTitle());

    runFolder = zv::MakeRunFolder();
    if (runFolder.empty()) {
        const int error = errno;
        host.Message(texts.LookupText(46) + "\n\n" + std::strerror(error), texts.LookupText(44), zv::Buttons::Ok,
                     zv::Icon::Stop, zv::Owner::None);
        return 1;
    }
    struct RemoveAtEnd {
        ~RemoveAtEnd() { zv::RemoveRunFolder(runFolder); }
    } removeAtEnd;
    Frame frame(host, settings, texts, {values.installDir, values.WindowTitle(), runFolder});
    QObject::connect(&frame, &Frame::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    QObject::connect(&instance, &SingleInstance::raiseRequested, &frame, [&frame] {
        frame.setWindowState(frame.windowState() & ~Qt::WindowMinimized);
        frame.show();
        frame.raise();
        frame.activateWindow();
    });
    // Opened as a dropped file is: with the same questions as Open.
    QObject::connect(&instance, &SingleInstance::openRequested, &frame, [&frame](const QString& file) {
        QTimer::singleShot(0, &frame, [&frame, file] { frame.OpenDroppedFile(file); });
    });
    const QScreen* screen = QGuiApplication::primaryScreen();
    ShowAtStartGeometry(frame, StartGeometryFor(settings, screen ? screen->geometry().size() : QSize(800, 600)));
    if (splash)
        splash->CloseSoon();
    if (!givenFile.isEmpty())
        QTimer::singleShot(0, &frame, [&frame, givenFile] { frame.OpenDroppedFile(givenFile); });
    return app.exec();
}

} // namespace zv::app
