#include "app/commands.h"

namespace zv::app::cmd {

bool DialogBuilt(int commandId)
{
    switch (commandId) {
    // Their dialogs are not built yet: Repair, Synchronize, Split,
    // Configuration, Stamp-line, About, Credits, Tip of the day, Donate.
    case Repair:
    case Synchronize:
    case Split:
    case Configuration:
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
