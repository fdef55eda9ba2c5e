#include "upgrade/upgrade.h"

#include "engine/update/update_check.h"
#include "qt/qt_host.h"
#include "qt/qt_translations.h"
#include "qt/resources.h"
#include "qt/shell.h"
#include "qt/text_codec.h"
#include "qt/unattended.h"
#include "upgrade/curl_fetcher.h"
#include "upgrade/new_version_notice.h"
#include "upgrade/site.h"
#include "upgrade/updater_window.h"
#include "engine/config/setting_names.h"

#include <QApplication>
#include <QIcon>
#include <QUrl>

#include <filesystem>

namespace zv::upgrade {

namespace {

// The checker reads and writes the settings without a word: a missing key
// reads as empty and keeps nothing, and a failed write is not worth a box.
class SilentHost final : public zv::Host {
public:
    zv::Answer Message(const std::string&, const std::string&, zv::Buttons buttons, zv::Icon, zv::Owner) override
    {
        return zv::qt::SafeAnswer(buttons);
    }
    std::shared_ptr<zv::ProgressWindow> StartProgressWindow() override { return nullptr; }
};

void Fatal(zv::qt::QtHost& host, const std::string& text, const std::string& caption)
{
    host.Message(text, caption, zv::Buttons::Ok, zv::Icon::Stop, zv::Owner::None);
}

constexpr char16_t kEscape = 0x1b;
constexpr char16_t kBell = 0x07;

// ESC P, X, ] , ^ and _ open a string that runs to BEL or ESC \; their C1
// forms likewise, and U+009B opens a control sequence as ESC [ does.
bool OpensString(char16_t c)
{
    return c == u'P' || c == u'X' || c == u']' || c == u'^' || c == u'_';
}
bool OpensC1String(char16_t c)
{
    return c == 0x90 || c == 0x98 || c == 0x9d || c == 0x9e || c == 0x9f;
}

// The index just past the string that begins at from: after its BEL, its
// ESC \ or its C1 string terminator, or the end of the text.
qsizetype PastString(const QString& text, qsizetype from)
{
    for (qsizetype i = from; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == kBell || c == 0x9c)
            return i + 1;
        if (c == kEscape && i + 1 < text.size() && text[i + 1] == u'\\')
            return i + 2;
    }
    return text.size();
}

// The index just past a control sequence's parameters and its final byte.
qsizetype PastControlSequence(const QString& text, qsizetype from)
{
    qsizetype i = from;
    while (i < text.size() && text[i].unicode() >= 0x20 && text[i].unicode() <= 0x3f)
        ++i;
    if (i < text.size() && text[i].unicode() >= 0x40 && text[i].unicode() <= 0x7e)
        ++i;
    return i;
}

// The index just past the escape sequence whose ESC is at at.
qsizetype PastEscape(const QString& text, qsizetype at)
{
    qsizetype i = at + 1;
    if (i >= text.size())
        return i;
    const char16_t c = text[i].unicode();
    if (c == u'[')
        return PastControlSequence(text, i + 1);
    if (OpensString(c))
        return PastString(text, i + 1);
    while (i < text.size() && text[i].unicode() >= 0x20 && text[i].unicode() <= 0x2f)
        ++i; // intermediates
    if (i < text.size() && text[i].unicode() >= 0x30 && text[i].unicode() <= 0x7e)
        ++i;
    return i;
}

} // namespace

QString SiteText(std::string_view bytes)
{
    const QString text = zv::qt::DecodeText(bytes);
    QString shown;
    shown.reserve(text.size());
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (u == kEscape) {
            i = PastEscape(text, i);
        } else if (u == 0x9b) {
            i = PastControlSequence(text, i + 1);
        } else if (OpensC1String(u)) {
            i = PastString(text, i + 1);
        } else if (u == u'\r') {
            // CR LF, and a lone CR, are one line break.
            shown += u'\n';
            i += i + 1 < text.size() && text[i + 1] == u'\n' ? 2 : 1;
        } else {
            if (u == u'\n' || u == u'\t' || c.category() != QChar::Other_Control)
                shown += c;
            ++i;
        }
    }
    return shown;
}

QString NewVersionText(const std::string& version, std::string_view text)
{
    const QString about = SiteText(text);
    const QString heading = QStringLiteral("Zentavo ") + SiteText(version);
    return about.isEmpty() ? heading : heading + QStringLiteral("\n\n") + about;
}

QString UpgradeContext::Text(int number) const
{
    return zv::qt::DecodeText(texts.LookupText(number));
}

QString UpgradeContext::DownloadPage() const
{
    return QString::fromStdString(zv::DownloadPageUrl(base));
}

void UpgradeContext::OpenDownloadPage(zv::Owner owner) const
{
    const QString page = DownloadPage();
    if (zv::qt::OpenWithShell(QUrl(page)))
        return;
    host.Message(texts.LookupText(kCannotOpenText) + "\n" + page.toStdString(), texts.LookupText(52), zv::Buttons::Ok,
                 zv::Icon::Exclamation, owner);
}

void RunSilentCheck(UpgradeContext& ctx)
{
    CurlFetcher fetcher(ctx.timeout);
    const std::string installed = ctx.settings.ReadSetting(zv::key::InstalledVersion);
    const zv::VersionCheck check = zv::CheckForNewerVersion(fetcher, ctx.base, installed);
    if (check.outcome == zv::CheckOutcome::Newer)
        ShowNewVersionNotice(ctx, NewVersionText(check.version, check.text), NoticeMode::Version);
}

void RunAnnouncementCheck(UpgradeContext& ctx)
{
    CurlFetcher fetcher(ctx.timeout);
    const auto announcement = zv::AnnouncementToShow(fetcher, ctx.base, ctx.settings);
    if (!announcement)
        return;
    const bool showAgain =
        ShowNewVersionNotice(ctx, SiteText(announcement->text), NoticeMode::Announcement);
    zv::RememberAnnouncement(ctx.settings, *announcement, showAgain);
}

void RunCheckWindow(UpgradeContext& ctx)
{
    UpdaterWindow window(ctx);
    if (!zv::qt::UnattendedLog().isEmpty()) {
        zv::qt::LogUnattended(QStringLiteral("window %1").arg(window.windowTitle()));
        return;
    }
    window.exec();
}

int RunUpgrade(int argc, char** argv)
{
    QApplication app(argc, argv);
    zv::qt::LoadResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/zentavo.svg")));
    zv::qt::QtHost host;
    zv::qt::InstallUnattendedMode(host);

    if (!InitialiseNetwork()) {
        Fatal(host, "The network library could not be initialised.", "upgrade");
        return 0;
    }
    SilentHost quiet;
    zv::KeyFileSettings settings(zv::DefaultKeyPath(), quiet);
    const std::string languagePath = settings.ReadSetting(zv::key::Language);
    std::error_code error;
    if (!std::filesystem::is_regular_file(languagePath, error)) {
        Fatal(host, "Error accesing language file", "FATAL ERROR");
        return 0;
    }
    zv::LanguageTexts texts;
    if (!texts.LoadLanguageFile(languagePath)) {
        if (languagePath.size() < 5)
            Fatal(host, "Language file name is too short !\nPossible error in registry.", "ERROR");
        return 0;
    }
    host.SetTexts(&texts);
    const auto qtTranslations = zv::qt::InstallQtTranslations(texts);
    zv::qt::SetInstallerLanguage(static_cast<int>(settings.ReadNumber(zv::key::InstallerLanguage)));

    UpgradeContext ctx{host, settings, texts, UpdateBaseUrl(), UpdateTimeout()};
    switch (zv::UpdateModeOf(argc > 1 ? argv[1] : nullptr)) {
    case zv::UpdateMode::Silent: RunSilentCheck(ctx); break;
    case zv::UpdateMode::Announcement: RunAnnouncementCheck(ctx); break;
    case zv::UpdateMode::Window: RunCheckWindow(ctx); break;
    }
    return 0;
}

} // namespace zv::upgrade
