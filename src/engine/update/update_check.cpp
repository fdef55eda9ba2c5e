#include "engine/update/update_check.h"

#include "engine/config/settings.h"

#include <cctype>
#include <climits>
#include <cstdio>

namespace zv {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The length of the line end at the start of text (CR LF, LF or CR); 0 when
// there is none. A site edited on any system ends its lines one of these ways.
std::size_t LineEndLength(std::string_view text)
{
    if (text.starts_with("\r\n"))
        return 2;
    return text.starts_with('\n') || text.starts_with('\r') ? 1 : 0;
}

// What follows the three-character header and its line end.
std::string TextAfterHeader(std::string_view body)
{
    const std::string_view rest = body.substr(3);
    return std::string(rest.substr(LineEndLength(rest)));
}

// Leading blanks, a sign and digits, as atoi reads them, but saturating.
long ReadInteger(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        if (value > (LONG_MAX - digit) / 10)
            return negative ? LONG_MIN : LONG_MAX;
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

} // namespace

std::string VersionFileUrl(const std::string& base)
{
    return base + "zentavo_ver.txt";
}

std::string AnnouncementFileUrl(const std::string& base)
{
    return base + "zentavo_EXTRA.txt";
}

std::string DownloadPageUrl(const std::string& base)
{
    return base + "download/";
}

std::string ReadStatusLine(long long bytes, long long elapsedSeconds)
{
    char line[96];
    if (elapsedSeconds > 0)
        std::snprintf(line, sizeof line, "Read %lld bytes (%0.1f Kb/s)", bytes,
                      static_cast<double>(bytes) / 1024.0 / static_cast<double>(elapsedSeconds));
    else
        std::snprintf(line, sizeof line, "Read %lld bytes", bytes);
    return line;
}

UpdateMode UpdateModeOf(const char* parameter)
{
    switch (parameter ? ReadInteger(parameter) : 0) {
    case 1: return UpdateMode::Silent;
    case 2: return UpdateMode::Announcement;
    default: return UpdateMode::Window;
    }
}

long InstalledVersionNumber(std::string_view ver)
{
    std::string digits;
    for (char c : ver.substr(0, 10))
        if (c != '.')
            digits += c;
    return ReadInteger(digits);
}

std::optional<VersionFile> ParseVersionFile(std::string_view body)
{
    if (body.size() < 3 || !IsDigit(body[0]) || body[1] != '.' || !IsDigit(body[2]) ||
        LineEndLength(body.substr(3)) == 0)
        return std::nullopt;
    return VersionFile{(body[0] - '0') * 10L + (body[2] - '0'), std::string(body.substr(0, 3)),
                       TextAfterHeader(body)};
}

VersionCheck CheckForNewerVersion(UpdateFetcher& fetcher, const std::string& base, std::string_view installed)
{
    FetchResult fetched = fetcher.FetchUrlText(VersionFileUrl(base));
    if (!fetched.ok)
        return {CheckOutcome::Failed, std::move(fetched.statusLine), {}};
    const auto file = ParseVersionFile(fetched.body);
    if (!file)
        return {CheckOutcome::Malformed, {}, {}};
    if (InstalledVersionNumber(installed) < file->newest)
        return {CheckOutcome::Newer, file->text, file->number};
    return {CheckOutcome::Newest, {}, {}};
}

std::optional<Announcement> ParseAnnouncement(std::string_view body)
{
    if (body.size() < 3 || !IsDigit(body[0]))
        return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i)
        if (!std::isprint(static_cast<unsigned char>(body[i])))
            return std::nullopt;
    return Announcement{std::string(body.substr(0, 3)), TextAfterHeader(body)};
}

std::optional<Announcement> AnnouncementToShow(UpdateFetcher& fetcher, const std::string& base,
                                               SettingsStore& settings)
{
    const FetchResult fetched = fetcher.FetchUrlText(AnnouncementFileUrl(base));
    if (!fetched.ok)
        return std::nullopt;
    auto announcement = ParseAnnouncement(fetched.body);
    if (!announcement)
        return std::nullopt;
    // A first run has seen nothing yet and starts from the current announcement.
    if (!settings.HasSetting(kAnnouncementSetting)) {
        settings.WriteSetting(kAnnouncementSetting, announcement->number);
        return std::nullopt;
    }
    if (settings.ReadSetting(kAnnouncementSetting) == announcement->number)
        return std::nullopt;
    return announcement;
}

void RememberAnnouncement(SettingsStore& settings, const Announcement& shown, bool showAgain)
{
    if (!showAgain)
        settings.WriteSetting(kAnnouncementSetting, shown.number);
}

} // namespace zv
