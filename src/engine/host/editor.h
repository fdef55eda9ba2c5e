// Which program opens a subtitle file for editing after a bad line.
#pragma once

#include <string>
#include <vector>

namespace zv {

// The user's editor from VISUAL, then EDITOR, when it is a graphical one (a
// terminal editor would have no terminal to run in); empty when the desktop's
// default application for the file should be used instead. The result is the
// argument list, the file path last.
std::vector<std::string> GraphicalEditorCommand(const std::string& path, const char* visual, const char* editor);

} // namespace zv
