#include "engine/host/editor.h"

#include <sstream>

namespace zv {

namespace {

bool IsGraphical(const std::string& program)
{
    static const char* const known[] = {
        "gedit", "gnome-text-editor", "kate", "kwrite", "mousepad", "xed", "pluma", "geany", "gvim",
        "code", "codium", "subl", "sublime_text", "featherpad", "leafpad", "l3afpad", "xedit", "emacsclient-x",
        "gnome-editor", "notepadqq", "lite-xl", "zed",
    };
    const auto slash = program.find_last_of('/');
    const std::string name = slash == std::string::npos ? program : program.substr(slash + 1);
    for (const char* k : known)
        if (name == k)
            return true;
    return false;
}

std::vector<std::string> Split(const std::string& command)
{
    std::vector<std::string> words;
    std::istringstream in(command);
    std::string w;
    while (in >> w)
        words.push_back(w);
    return words;
}

} // namespace

std::vector<std::string> GraphicalEditorCommand(const std::string& path, const char* visual, const char* editor)
{
    for (const char* value : {visual, editor}) {
        if (!value || !*value)
            continue;
        auto words = Split(value);
        if (words.empty() || !IsGraphical(words.front()))
            continue;
        words.push_back(path);
        return words;
    }
    return {};
}

} // namespace zv
