// What an engine command hands back to the face that called it: whether its
// result is complete, what it left out or changed and what the user was told
// at its end. Commands return it by value, so the desktop and the command
// line read the same answer from the same call.
#pragma once

#include <string>

namespace zv {

struct Outcome {
    // The result is complete; false when a file failed or the user cancelled
    // (the user has been told), and for a repair that found nothing to mend.
    bool done = false;
    // Records left out, at a question or silently.
    int dropped = 0;
    // What the command changed where it counts it: the records a repair
    // mended, the stamps a stamp-line added; -1 when a repair failed before it
    // could count.
    long changed = 0;
    // The summary the progress window closed with; empty where a command
    // tells none.
    std::string summary{};
};

} // namespace zv
