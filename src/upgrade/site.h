// Where the maker's site is and how long a fetch may take. Tests and mirrors
// set ZENTAVO_UPDATE_URL (another base address) and ZENTAVO_UPDATE_TIMEOUT
// (seconds).
#pragma once

#include <chrono>
#include <string>

namespace zv::upgrade {

// The base address, always ending with '/'.
std::string UpdateBaseUrl();
std::chrono::milliseconds UpdateTimeout();

} // namespace zv::upgrade
