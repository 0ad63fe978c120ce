#include "UnitSupport.h"

#include <QtGlobal>

// Resource initialisers must live outside any namespace.
static void InitAppResources() {
    Q_INIT_RESOURCE(layouts);
    Q_INIT_RESOURCE(resources);
}

void EnsureResources() {
    static const bool done = [] {
        InitAppResources();
        return true;
    }();
    (void)done;
}
