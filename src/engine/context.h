// What every engine call works with: the user's host, the settings, the
// language texts and the workspace. Results travel back as values.
#pragma once

#include "engine/host/host.h"
#include "engine/config/language.h"
#include "engine/config/settings.h"
#include "engine/io/workspace.h"

#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace zv {

struct Context {
    Context(Host& h, SettingsStore& s, const LanguageTexts& t) : host(h), settings(s), texts(t) {}

    Host& host;
    SettingsStore& settings;
    const LanguageTexts& texts;
    Workspace workspace;

    // The user's file behind each working copy of an input: what a bad line
    // offers to open for editing.
    std::map<std::string, std::string> inputOrigins;

    std::string Text(int number) const { return texts.LookupText(number); }
    // Text number n, then caption number c, with the given buttons and icon.
    Answer Tell(int text, int caption, Buttons buttons, Icon icon, Owner owner = Owner::None)
    {
        return host.Message(Text(text), Text(caption), buttons, icon, owner);
    }
    // The same for a question whose Yes discards the user's work.
    Answer AskBeforeDiscarding(int text, int caption, Buttons buttons, Icon icon, Owner owner = Owner::None)
    {
        return host.AskBeforeDiscarding(Text(text), Text(caption), buttons, icon, owner);
    }
    // The message every routine shows for a file it cannot open.
    void CannotOpen(Owner owner = Owner::None) { Tell(46, 44, Buttons::Ok, Icon::Stop, owner); }
    // The message for a file that could not be written, with the system's
    // reason (a full disk says so).
    void CannotWrite(int error, Owner owner = Owner::None)
    {
        std::string text = Text(53);
        if (error != 0)
            text += "\n\n" + std::string(std::strerror(error));
        host.Message(text, Text(44), Buttons::Ok, Icon::Stop, owner);
    }
    // Whether a confirmation is active (its setting is empty).
    bool Asks(const char* setting) { return settings.ReadSetting(setting).empty(); }
};

} // namespace zv
