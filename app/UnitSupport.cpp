#include "UnitSupport.h"

#include "Forms.h"
#include "SysUtils.h"

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

void FitPictureWindow(TForm* form, bool landscape) {
    form->SetLeft(10);
    form->SetTop(10);
    form->SetHeight(CheckedSub(TScreen::Height(), 200));
    if (landscape) form->SetWidth(CheckedMul(form->Height(), 130) / 100);
    form->BringToFront();
}
