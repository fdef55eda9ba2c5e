// The program's pictures and help live in its compiled-in resources.
#pragma once

namespace zv::qt {

// Makes the resources available; a static library only links them in when
// they are asked for by name. Safe to call more than once.
void LoadResources();

} // namespace zv::qt
