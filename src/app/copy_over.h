// Saving a result over the user's file: written beside the target and renamed
// over it, so the user's file is either the old one or the new one, never half
// of each. On failure the user may retry.
#pragma once

#include "engine/context.h"
#include "engine/io/input_file.h"

#include <string>

namespace zv::app {

// Saves result in style over target (SaveResult). A result that cannot be
// styled is told with text 53 and caption 52; a target that cannot be
// replaced asks Retry/Cancel with the same words. True when the target holds
// the result; false when the user gave up, with the target exactly as it was.
bool SaveWithRetry(zv::Context& ctx, const std::string& result, const zv::TextStyle& style,
                   const std::string& target);

} // namespace zv::app
