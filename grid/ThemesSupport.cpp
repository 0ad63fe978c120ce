#include "ThemesSupport.h"

#include "Exceptions.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QWidget>

namespace {

// Read once, the first time anyone asks.
bool& EnabledFlag() {
    static bool enabled = qEnvironmentVariable("CALLERID_THEMES") != QLatin1String("0");
    return enabled;
}

[[noreturn]] void ThemeFault() {
    throw EThemeError(QStringLiteral("Error in Themes"));
}

enum class TVisualState { Normal, Hot, Pressed, Disabled };

// The four-state cycle most classes use: normal, hot, pressed, disabled.
TVisualState CycleState(int state) {
    switch ((state - 1) % 4) {
    case 1:
        return TVisualState::Hot;
    case 2:
        return TVisualState::Pressed;
    case 3:
        return TVisualState::Disabled;
    default:
        return TVisualState::Normal;
    }
}

QStyle::State StyleState(TVisualState v) {
    QStyle::State s = QStyle::State_None;
    if (v != TVisualState::Disabled) s |= QStyle::State_Enabled;
    switch (v) {
    case TVisualState::Hot:
        s |= QStyle::State_MouseOver | QStyle::State_Raised;
        break;
    case TVisualState::Pressed:
        s |= QStyle::State_Sunken | QStyle::State_MouseOver;
        break;
    default:
        s |= QStyle::State_Raised;
        break;
    }
    return s;
}

void InitOption(QStyleOption& opt, QWidget* window, const QRect& rect, QStyle::State state) {
    if (window)
        opt.initFrom(window);
    else
        opt.palette = QApplication::palette();
    opt.rect = rect;
    opt.state = state;
    if (window && window->isActiveWindow()) opt.state |= QStyle::State_Active;
}

void DrawButtonWithArrow(QStyle* style, QPainter* p, QWidget* window, const QRect& rect,
                         TVisualState v, QStyle::PrimitiveElement arrow) {
    QStyleOptionButton button;
    InitOption(button, window, rect, StyleState(v));
    style->drawPrimitive(QStyle::PE_PanelButtonCommand, &button, p, window);
    QStyleOption indicator;
    InitOption(indicator, window, rect.adjusted(2, 2, -2, -2), StyleState(v));
    if (v == TVisualState::Pressed) indicator.rect.translate(1, 1);
    style->drawPrimitive(arrow, &indicator, p, window);
}

void DrawHeader(QStyle* style, QPainter* p, QWidget* window, const QRect& rect, int part,
                int state) {
    using namespace Themes;
    switch (part) {
    case 0: {
        QStyleOptionHeader opt;
        InitOption(opt, window, rect, QStyle::State_Enabled | QStyle::State_Horizontal);
        opt.orientation = Qt::Horizontal;
        style->drawControl(QStyle::CE_HeaderEmptyArea, &opt, p, window);
        return;
    }
    case HP_HEADERITEM:
    case HP_HEADERITEMLEFT:
    case HP_HEADERITEMRIGHT: {
        // Sorted states (4..6) look like their unsorted kin.
        const TVisualState v = CycleState(((state - 1) % 3) + 1);
        QStyleOptionHeader opt;
        InitOption(opt, window, rect, StyleState(v) | QStyle::State_Horizontal);
        opt.orientation = Qt::Horizontal;
        opt.position =
            part == HP_HEADERITEMLEFT ? QStyleOptionHeader::Beginning : QStyleOptionHeader::Middle;
        style->drawControl(QStyle::CE_HeaderSection, &opt, p, window);
        return;
    }
    case HP_HEADERSORTARROW: {
        QStyleOptionHeader opt;
        InitOption(opt, window, rect, QStyle::State_Enabled);
        opt.sortIndicator =
            state == HSAS_SORTEDDOWN ? QStyleOptionHeader::SortDown : QStyleOptionHeader::SortUp;
        style->drawPrimitive(QStyle::PE_IndicatorHeaderArrow, &opt, p, window);
        return;
    }
    default:
        ThemeFault();
    }
}

void DrawButtonClass(QStyle* style, QPainter* p, QWidget* window, const QRect& rect, int part,
                     int state) {
    using namespace Themes;
    switch (part) {
    case BP_PUSHBUTTON: {
        QStyleOptionButton opt;
        InitOption(opt, window, rect, StyleState(CycleState(state)));
        if (state == PBS_DEFAULTED) opt.features |= QStyleOptionButton::DefaultButton;
        style->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, p, window);
        return;
    }
    case BP_RADIOBUTTON:
    case BP_CHECKBOX: {
        // Four states each: unchecked, checked, then (check boxes) mixed.
        QStyleOptionButton opt;
        InitOption(opt, window, rect, StyleState(CycleState(state)));
        const int group = (state - 1) / 4;
        if (group == 0)
            opt.state |= QStyle::State_Off;
        else if (group == 1 || part == BP_RADIOBUTTON)
            opt.state |= QStyle::State_On;
        else
            opt.state |= QStyle::State_NoChange;
        style->drawPrimitive(part == BP_CHECKBOX ? QStyle::PE_IndicatorCheckBox
                                                 : QStyle::PE_IndicatorRadioButton,
                             &opt, p, window);
        return;
    }
    case BP_GROUPBOX: {
        QStyleOptionFrame opt;
        InitOption(opt, window, rect, QStyle::State_Enabled);
        opt.lineWidth = 1;
        style->drawPrimitive(QStyle::PE_FrameGroupBox, &opt, p, window);
        return;
    }
    default:
        ThemeFault();
    }
}

// A flat band: the button colour with a light top and a dark bottom line.
void DrawRebar(QStyle* style, QPainter* p, QWidget* window, const QRect& rect, int part) {
    QStyleOption opt;
    InitOption(opt, window, rect, QStyle::State_Enabled);
    switch (part) {
    case 0:
    case 3:
        p->fillRect(rect, opt.palette.button());
        if (rect.height() > 2) {
            p->fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), opt.palette.light());
            p->fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), opt.palette.mid());
        }
        return;
    case 1:
    case 2:
        if (part == 1) opt.state |= QStyle::State_Horizontal;
        style->drawPrimitive(QStyle::PE_IndicatorToolBarHandle, &opt, p, window);
        return;
    case 4:
    case 5:
        style->drawPrimitive(part == 4 ? QStyle::PE_IndicatorArrowDown
                                       : QStyle::PE_IndicatorArrowRight,
                             &opt, p, window);
        return;
    default:
        ThemeFault();
    }
}

void DrawListView(QStyle* style, QPainter* p, QWidget* window, const QRect& rect, int part) {
    if (part < 0 || part > 10) ThemeFault();
    QStyleOptionFrame opt;
    InitOption(opt, window, rect, QStyle::State_Enabled | QStyle::State_Sunken);
    opt.lineWidth = 1;
    opt.frameShape = QFrame::StyledPanel;
    // A list view's background is its window colour inside its edge.
    p->fillRect(rect, opt.palette.brush(QPalette::Base));
    style->drawPrimitive(QStyle::PE_Frame, &opt, p, window);
}

void DrawEdit(QStyle* style, QPainter* p, QWidget* window, const QRect& rect, int part, int state) {
    using namespace Themes;
    if (part < 1 || part > 9) ThemeFault();
    QStyleOptionFrame opt;
    QStyle::State s = QStyle::State_Enabled | QStyle::State_Sunken;
    switch (state) {
    case ETS_HOT:
        s |= QStyle::State_MouseOver;
        break;
    case ETS_SELECTED:
    case ETS_FOCUSED:
        s |= QStyle::State_HasFocus;
        break;
    case ETS_DISABLED:
        s &= ~QStyle::State_Enabled;
        break;
    case ETS_READONLY:
        s |= QStyle::State_ReadOnly;
        break;
    default:
        break;
    }
    InitOption(opt, window, rect, s);
    opt.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, window);
    style->drawPrimitive(QStyle::PE_PanelLineEdit, &opt, p, window);
}

void DrawSpin(QStyle* style, QPainter* p, QWidget* window, const QRect& rect, int part, int state) {
    using namespace Themes;
    QStyle::PrimitiveElement arrow;
    switch (part) {
    case SPNP_UP:
        arrow = QStyle::PE_IndicatorArrowUp;
        break;
    case SPNP_DOWN:
        arrow = QStyle::PE_IndicatorArrowDown;
        break;
    case SPNP_UPHORZ:
        arrow = QStyle::PE_IndicatorArrowRight;
        break;
    case SPNP_DOWNHORZ:
        arrow = QStyle::PE_IndicatorArrowLeft;
        break;
    default:
        ThemeFault();
    }
    DrawButtonWithArrow(style, p, window, rect, CycleState(state), arrow);
}

void DrawComboBox(QStyle* style, QPainter* p, QWidget* window, const QRect& rect, int part,
                  int state) {
    switch (part) {
    case 1: // drop-down button
    case 6: // the same on the right
    case 7: // and on the left
        DrawButtonWithArrow(style, p, window, rect, CycleState(state),
                            QStyle::PE_IndicatorArrowDown);
        return;
    case 2:
    case 3:
    case 4:
    case 5:
        DrawEdit(style, p, window, rect, 1, state);
        return;
    default:
        ThemeFault();
    }
}

} // namespace

bool ThemesEnabled() {
    return EnabledFlag();
}

void SetThemesEnabled(bool enabled) {
    EnabledFlag() = enabled;
}

bool ThemesActive() {
    return EnabledFlag() && qobject_cast<QApplication*>(QCoreApplication::instance()) &&
           QApplication::style();
}

void DrawThemed(QWidget* Window, TCanvas* DC, const QString& ClassName, int Part, int State,
                const TRect& Rect) {
    QStyle* style = Window ? Window->style() : QApplication::style();
    if (!style || !DC) ThemeFault();
    const QString name = ClassName.toLower();
    if (name != u"header" && name != u"button" && name != u"rebar" && name != u"listview" &&
        name != u"edit" && name != u"spin" && name != u"combobox")
        ThemeFault();
    QPainter* p = DC->Painter();
    if (!p || Rect.IsEmpty()) return;
    const QRect rect = Rect.ToQRect();
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    // Some style elements reach half a pixel past their rectangle; the part
    // stays inside it.
    p->setClipRect(rect, Qt::IntersectClip);
    struct Restore {
        QPainter* P;
        ~Restore() { P->restore(); }
    } restore{p};
    if (name == u"header")
        DrawHeader(style, p, Window, rect, Part, State);
    else if (name == u"button")
        DrawButtonClass(style, p, Window, rect, Part, State);
    else if (name == u"rebar")
        DrawRebar(style, p, Window, rect, Part);
    else if (name == u"listview")
        DrawListView(style, p, Window, rect, Part);
    else if (name == u"edit")
        DrawEdit(style, p, Window, rect, Part, State);
    else if (name == u"spin")
        DrawSpin(style, p, Window, rect, Part, State);
    else
        DrawComboBox(style, p, Window, rect, Part, State);
}
