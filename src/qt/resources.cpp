#include "qt/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE declares its function where it is used, so it stays
// outside any namespace.
static void InitZentavoResources()
{
    Q_INIT_RESOURCE(zentavo);
}

namespace zv::qt {

void LoadResources()
{
    static const bool loaded = [] {
        InitZentavoResources();
        return true;
    }();
    (void)loaded;
}

} // namespace zv::qt
