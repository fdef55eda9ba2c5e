// What an engine command hands back to the face that called it: whether its
// result is complete and what it left out. Commands return it by value, so
// the desktop and the command line read the same answer from the same call.
#pragma once

namespace zv {

struct Outcome {
    // The result is complete; false when a file failed or the user cancelled
    // (the user has been told).
    bool done = false;
    // Records left out, at a question or silently.
    int dropped = 0;
};

} // namespace zv
