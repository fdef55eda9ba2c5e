#include "app/commands.h"

namespace zv::app::cmd {

bool DialogBuilt(int commandId)
{
    switch (commandId) {
    // Their dialogs are not built yet: Convert, AVI information,
    // Configuration, Subtitle information, About, Credits, Tip of the day,
    // Donate.
    case Convert:
    case AviInformation:
    case Configuration:
    case SubtitleInformation:
    case About:
    case Credits:
    case TipOfTheDay:
    case Donate:
        return false;
    default:
        return true;
    }
}

} // namespace zv::app::cmd
