#include "app/commands.h"

namespace zv::app::cmd {

bool DialogBuilt(int commandId)
{
    switch (commandId) {
    // Their dialogs are not built yet: Configuration, About, Credits, Tip of
    // the day, Donate.
    case Configuration:
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
