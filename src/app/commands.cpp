#include "app/commands.h"

namespace zv::app::cmd {

bool DialogBuilt(int commandId)
{
    switch (commandId) {
    // Their dialogs are not built yet: Convert, Synchronize, AVI information,
    // Configuration, Subtitle information, About, Credits, Tip of the day,
    // Donate.
    case Convert:
    case Synchronize:
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
