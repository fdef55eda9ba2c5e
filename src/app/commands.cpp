#include "app/commands.h"

namespace zv::app::cmd {

bool DialogBuilt(int commandId)
{
    switch (commandId) {
    // Their dialogs are not built yet: Convert, Repair, Split,
    // AVI information, Configuration, Subtitle information, Stamp-line,
    // About, Credits, Tip of the day, Donate.
    case Convert:
    case Repair:
    case Split:
    case AviInformation:
    case Configuration:
    case SubtitleInformation:
    case StampLine:
    case About:
    case Credits:
    case TipOfTheDay:
    case Donate:
        return false;
    default:
        return true;
    }
}

bool JoinDialogBuilt()
{
    return false;
}

} // namespace zv::app::cmd
