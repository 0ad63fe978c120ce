#include "Framework.h"

#include "AppEvnts.h"
#include "ComCtrls.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrls.h"

void RegisterFrameworkClasses() {
    RegisterClass<TApplicationEvents>();
    RegisterClass<TButton>();
    RegisterClass<TGroupBox>();
    RegisterClass<TImage>();
    RegisterClass<TLabel>();
    RegisterClass<TMainMenu>();
    RegisterClass<TMemo>();
    RegisterClass<TMenuItem>();
    RegisterClass<TPanel>();
    RegisterClass<TPopupMenu>();
    RegisterClass<TProgressBar>();
    RegisterClass<TStatusBar>();
    RegisterClass<TTimer>();
}
