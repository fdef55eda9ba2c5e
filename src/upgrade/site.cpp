#include "upgrade/site.h"

#include <cstdlib>

namespace zv::upgrade {

std::string UpdateBaseUrl()
{
    const char* given = std::getenv("ZENTAVO_UPDATE_URL");
    std::string base = given && *given ? given : ZENTAVO_UPDATE_SITE;
    if (base.back() != '/')
        base += '/';
    return base;
}

std::chrono::milliseconds UpdateTimeout()
{
    if (const char* given = std::getenv("ZENTAVO_UPDATE_TIMEOUT")) {
        char* end = nullptr;
        const double seconds = std::strtod(given, &end);
        if (end != given && seconds > 0 && seconds < 3600)
            return std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    }
    return std::chrono::seconds(30);
}

} // namespace zv::upgrade
