// Saving a result over the user's file: written beside the target and renamed
// over it, so the user's file is either the old one or the new one, never half
// of each. On failure the user may retry.
#pragma once

#include "engine/context.h"

#include <string>

namespace zv::app {

// Copies source over target with the Retry/Cancel message (text 53, caption 52)
// on failure. True when the target holds the source; false when the user gave
// up, with the target exactly as it was.
bool CopyOverWithRetry(zv::Context& ctx, const std::string& target, const std::string& source);

// One attempt of the above without any message; errno tells why it failed.
bool CopyOverOnce(const std::string& target, const std::string& source);

} // namespace zv::app
