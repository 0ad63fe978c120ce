#pragma once
// Themed drawing of the pieces the grid suite borrows from the look of the
// desktop (header sections, check boxes, spin and combo buttons, frames),
// through the application's QStyle.
//
// Themes are on unless the environment variable CALLERID_THEMES is "0" when
// the program first asks; SetThemesEnabled switches them at run time. With
// themes off every caller takes its classic drawing path.

#include "Canvas.h"
#include "Exceptions.h"
#include "Types.h"

#include <QString>

class QWidget;

// Part and state numbers of the theme classes, as the callers name them.
namespace Themes {
// "header"
constexpr int HP_HEADERITEM = 1;
constexpr int HP_HEADERITEMLEFT = 2;
constexpr int HP_HEADERITEMRIGHT = 3;
constexpr int HP_HEADERSORTARROW = 4;
constexpr int HIS_NORMAL = 1;
constexpr int HIS_HOT = 2;
constexpr int HIS_PRESSED = 3;
constexpr int HSAS_SORTEDUP = 1;
constexpr int HSAS_SORTEDDOWN = 2;
// "Button"
constexpr int BP_PUSHBUTTON = 1;
constexpr int BP_RADIOBUTTON = 2;
constexpr int BP_CHECKBOX = 3;
constexpr int BP_GROUPBOX = 4;
constexpr int PBS_NORMAL = 1;
constexpr int PBS_HOT = 2;
constexpr int PBS_PRESSED = 3;
constexpr int PBS_DISABLED = 4;
constexpr int PBS_DEFAULTED = 5;
constexpr int CBS_UNCHECKEDNORMAL = 1;
constexpr int CBS_UNCHECKEDHOT = 2;
constexpr int CBS_UNCHECKEDPRESSED = 3;
constexpr int CBS_UNCHECKEDDISABLED = 4;
constexpr int CBS_CHECKEDNORMAL = 5;
constexpr int CBS_CHECKEDHOT = 6;
constexpr int CBS_CHECKEDPRESSED = 7;
constexpr int CBS_CHECKEDDISABLED = 8;
// "edit"
constexpr int EP_EDITTEXT = 1;
constexpr int ETS_NORMAL = 1;
constexpr int ETS_HOT = 2;
constexpr int ETS_SELECTED = 3;
constexpr int ETS_DISABLED = 4;
constexpr int ETS_FOCUSED = 5;
constexpr int ETS_READONLY = 6;
// "spin"
constexpr int SPNP_UP = 1;
constexpr int SPNP_DOWN = 2;
constexpr int SPNP_UPHORZ = 3;
constexpr int SPNP_DOWNHORZ = 4;
constexpr int UPS_NORMAL = 1;
constexpr int UPS_HOT = 2;
constexpr int UPS_PRESSED = 3;
constexpr int UPS_DISABLED = 4;
// "combobox"
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int CBXS_NORMAL = 1;
constexpr int CBXS_HOT = 2;
constexpr int CBXS_PRESSED = 3;
constexpr int CBXS_DISABLED = 4;
} // namespace Themes

// True when themed drawing is switched on and the application has a style.
bool ThemesActive();
bool ThemesEnabled();
void SetThemesEnabled(bool enabled);

// Draws the background of a part of a theme class ("header", "Button",
// "rebar", "listview", "edit", "spin", "combobox"; the names are not case
// sensitive) in the given state into Rect. An unknown class or part raises
// EThemeError "Error in Themes".
void DrawThemed(QWidget* Window, TCanvas* DC, const QString& ClassName, int Part, int State,
                const TRect& Rect);
