// The update checker's run: start-up, then one of its three modes.
#pragma once

#include "engine/host/host.h"
#include "engine/config/language.h"
#include "engine/config/settings.h"

#include <QString>

#include <chrono>
#include <string>
#include <string_view>

namespace zv::qt {
class QtHost;
}

namespace zv::upgrade {

// The checker's own language texts.
inline constexpr int kNotAVersionFileText = 403;
inline constexpr int kCheckCancelledText = 404;
// Shared with the desktop program: nothing could open a page.
inline constexpr int kCannotOpenText = 420;

// What the windows and modes share for one run.
struct UpgradeContext {
    zv::qt::QtHost& host;
    zv::SettingsStore& settings;
    const zv::LanguageTexts& texts;
    std::string base; // the site, ending with '/'
    std::chrono::milliseconds timeout;

    QString Text(int number) const;
    QString DownloadPage() const;
    // Opens the download page in the browser; a computer with nothing to
    // open it with says so instead of the button doing nothing.
    void OpenDownloadPage(zv::Owner owner) const;
};

// The site's bytes as the windows show them and the unattended log keeps
// them: printable text with its line breaks and tabs; escape sequences and
// every other control character are left out, so a server cannot drive the
// terminal a log is read in.
QString SiteText(std::string_view bytes);
// What both windows show about a newer version: its number, then the site's
// text about it.
QString NewVersionText(const std::string& version, std::string_view text);

// Mode 1: tells about a newer version, else says nothing.
void RunSilentCheck(UpgradeContext& ctx);
// Mode 2: shows a new announcement.
void RunAnnouncementCheck(UpgradeContext& ctx);
// Mode 0: the check window, until the user closes it.
void RunCheckWindow(UpgradeContext& ctx);

// The whole program; returns its exit code.
int RunUpgrade(int argc, char** argv);

} // namespace zv::upgrade
