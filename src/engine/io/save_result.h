// Saving a result over the user's file: the working copy written as the
// user's file writes its text, put in place of the target in one step, and on
// failure the words the user is told. The desktop's Save and Save as, its
// two-file save and the command line's output all save through here.
#pragma once

#include "engine/context.h"
#include "engine/io/file_io.h"
#include "engine/io/input_file.h"

#include <functional>
#include <string>

namespace zv {

struct SaveOutcome {
    bool saved = false;
    // False when the result could not be written in the file's style; the
    // target was not touched then.
    bool styled = false;
    // The system's reason (errno) for a failure, 0 when it gave none.
    int error = 0;
    // Text 53, with the system's reason after a blank line when there is one.
    std::string errorText{};
};

// The first half of a save: result (a working copy) written in style and
// staged in replacement for target. Nothing at target changes yet.
SaveOutcome StageResult(Context& ctx, const std::string& result, const TextStyle& style, const std::string& target,
                        FileReplacement& replacement);
// The second half: the staged result put in place.
SaveOutcome CommitResult(Context& ctx, FileReplacement& replacement);

// The whole save: style, replace, and the error text on failure.
// noticeTemporaries, when given, hears of every temporary before it exists.
SaveOutcome SaveResult(Context& ctx, const std::string& result, const TextStyle& style, const std::string& target,
                       const std::function<void(const std::string&)>& noticeTemporaries = {});

} // namespace zv
