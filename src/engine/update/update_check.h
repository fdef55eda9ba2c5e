// The update checker's decisions: what the version file and the announcement
// file on the maker's site say, whether the installed version is older, and
// which announcement the user has already seen. The fetch itself is behind
// UpdateFetcher, so everything here works without a network.
#pragma once

#include "engine/config/setting_names.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zv {

class SettingsStore;

// No answer of the site is larger; a bigger body is a failed fetch.
inline constexpr std::size_t kMaxUpdateBody = 64 * 1024;

struct FetchResult {
    bool ok = false;
    std::string body;
    // Why the fetch failed (LastStatusLine); empty after a success.
    std::string statusLine;
};

class UpdateFetcher {
public:
    virtual ~UpdateFetcher() = default;
    // The body of url; a failed transfer, a refused or non-2xx answer and a
    // body above kMaxUpdateBody all fail.
    virtual FetchResult FetchUrlText(const std::string& url) = 0;
};

// The site's files under its base address (which ends with '/').
std::string VersionFileUrl(const std::string& base);
std::string AnnouncementFileUrl(const std::string& base);
std::string DownloadPageUrl(const std::string& base);

// The status line while a body arrives: "Read %d bytes (%0.1f Kb/s)" once a
// whole second has passed, "Read %d bytes" before.
std::string ReadStatusLine(long long bytes, long long elapsedSeconds);

// The program's parameter read as an integer: 1 silent version check, 2
// announcement, anything else the check window.
enum class UpdateMode { Window = 0, Silent = 1, Announcement = 2 };
UpdateMode UpdateModeOf(const char* parameter);

// The installed version VER as a number: its first 10 characters without any
// '.', read as an integer ("2.3" is 23, "2.31" is 231, "" is 0). Saturates
// instead of overflowing.
long InstalledVersionNumber(std::string_view ver);

// A version file: digit '.' digit, a line end (CR LF, LF or CR), then the
// text about the new version. Nothing when the body is not shaped so ("24.",
// "2,4", "2.4" without its line end, too short).
struct VersionFile {
    long newest = 0;    // "2.4" is 24
    std::string number; // "2.4", as the user knows it
    std::string text;
};
std::optional<VersionFile> ParseVersionFile(std::string_view body);

enum class CheckOutcome { Newer, Newest, Malformed, Failed };
struct VersionCheck {
    CheckOutcome outcome = CheckOutcome::Failed;
    // Newer: the text about the new version; Failed: the fetch's status line.
    std::string text;
    // Newer: the new version's number ("2.5").
    std::string version;
};
// Fetches the version file and compares it with the installed version VER.
VersionCheck CheckForNewerVersion(UpdateFetcher& fetcher, const std::string& base, std::string_view installed);

// An announcement: a three-character number (a digit first), a line end (CR
// LF, LF or CR), its text. The number is kept in the settings, so it must be printable.
struct Announcement {
    std::string number;
    std::string text;
};
std::optional<Announcement> ParseAnnouncement(std::string_view body);

// Fetches the announcement file and decides whether to show it. The first
// run only remembers the number; an announcement is shown while its number
// differs from the one the user asked not to see again.
std::optional<Announcement> AnnouncementToShow(UpdateFetcher& fetcher, const std::string& base,
                                               SettingsStore& settings);
// After the notice closed: a cleared check box means "do not show it again".
void RememberAnnouncement(SettingsStore& settings, const Announcement& shown, bool showAgain);

inline constexpr const char* kAnnouncementSetting = zv::key::HiddenAnnouncement;

} // namespace zv
