#include "TrayIcon.h"

#include "Application.h"
#include "Forms.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleHints>
#include <climits>
#include <cstring>

namespace {

constexpr std::uint32_t kRecordFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr unsigned kPointerPollMs = 20;

unsigned DoubleClickTime() {
    return unsigned(std::max(1, QGuiApplication::styleHints()->mouseDoubleClickInterval()));
}

} // namespace

// --------------------------------------------------------- TTrayIconHandler

TTrayIconHandler::TTrayIconHandler() : FWindow(RegisterShellWindow(this)) {
    // The application's minimize and restore are hooked once for all icons;
    // hooks that were there before keep running first.
    if (Application) {
        FOldOnMinimize = Application->OnMinimize;
        FOldOnRestore = Application->OnRestore;
        Application->OnMinimize = [old = FOldOnMinimize] {
            if (old) old();
            ForEachIcon(&TTrayIcon::ApplicationMinimized);
        };
        Application->OnRestore = [old = FOldOnRestore] {
            if (old) old();
            ForEachIcon(&TTrayIcon::ApplicationRestored);
        };
        FHooked = true;
    }
}

TTrayIconHandler::~TTrayIconHandler() {
    UnregisterShellWindow(FWindow);
    if (FHooked && Application) {
        Application->OnMinimize = FOldOnMinimize;
        Application->OnRestore = FOldOnRestore;
    }
}

TTrayIcon* TTrayIconHandler::Find(std::uint32_t id) const {
    TTrayIcon* const* icon = FIcons.Find(id);
    return icon ? *icon : nullptr;
}

void TTrayIconHandler::ForEachIcon(void (TTrayIcon::*fn)()) {
    if (!Instance()) return;
    for (std::uint32_t id : Instance()->FIcons.Handles())
        if (TTrayIcon* icon = Instance() ? Instance()->Find(id) : nullptr) (icon->*fn)();
}

void TTrayIconHandler::ShellMessage(std::uint32_t message, std::uint32_t wParam,
                                    std::uint32_t lParam) {
    if (message == WM_TRAYNOTIFY) {
        if (TTrayIcon* icon = Find(wParam)) icon->TrayMessage(lParam);
    } else if (message == TaskbarCreatedMessage()) {
        ForEachIcon(&TTrayIcon::TaskbarCreated);
    }
}

// ---------------------------------------------------------------- TTrayIcon

TTrayIcon::TTrayIcon(QObject* owner) : TComponent(owner) {
    if (const TComponentBase* c = AsComponent(owner); c && c->IsDesigning())
        SetComponentStateFlags(csDesigning, true);
    TTrayIconHandler::AcquireTrayWindow();

    RegisterEvent("OnClick", OnClick);
    RegisterEvent("OnDblClick", OnDblClick);
    RegisterEvent("OnMouseDown", OnMouseDown);
    RegisterEvent("OnMouseUp", OnMouseUp);
    RegisterEvent("OnMouseMove", OnMouseMove);
    RegisterEvent("OnMouseEnter", OnMouseEnter);
    RegisterEvent("OnMouseExit", OnMouseExit);
    RegisterEvent("OnCycle", OnCycle);
    RegisterEvent("OnBalloonHintShow", OnBalloonHintShow);
    RegisterEvent("OnBalloonHintHide", OnBalloonHintHide);
    RegisterEvent("OnBalloonHintTimeout", OnBalloonHintTimeout);
    RegisterEvent("OnBalloonHintClick", OnBalloonHintClick);
    RegisterEvent("OnMinimizeToTray", OnMinimizeToTray);
    RegisterEvent("OnStartup", OnStartup);

    std::memset(&FNotifyData, 0, sizeof FNotifyData);
    FNotifyData.cbSize = NOTIFYICONDATAA_SIZE;
    FNotifyData.Wnd = TTrayIconHandler::Instance()->Window();
    FNotifyData.uID = TTrayIconHandler::Instance()->Add(this);
    FNotifyData.uFlags = kRecordFlags;
    FNotifyData.uCallbackMessage = WM_TRAYNOTIFY;

    FIconCycleTimer = std::make_unique<TSimpleTimer>();
    FIconCycleTimer->SetOnTimer([this](QObject*) { IconCycleTick(); });
    FDoubleClickTimer = std::make_unique<TSimpleTimer>();
    FDoubleClickTimer->SetOnTimer([this](QObject*) { DoubleClickTick(); });
    FPointerPollTimer =
        std::make_unique<TSimpleTimer>(kPointerPollMs, [this](QObject*) { PointerPollTick(); });

    FPointerOutside = true;
    SetDesignPreview(FDesignPreview);

    if (Runtime()) {
        if (QWidget* window = OwnerWindow()) {
            window->installEventFilter(this);
            FOwnerHooked = true;
        }
    }
}

TTrayIcon::~TTrayIcon() {
    SetComponentStateFlags(csDestroying, true);
    // Whatever the shell or the icon does here, the icon still lets go of
    // the shared window and the hooks below.
    try {
        RemoveIcon();
        SetDesignPreview(false);
    } catch (...) {
    }
    QObject::disconnect(FIconListGone);
    FIconCycleTimer.reset();
    FDoubleClickTimer.reset();
    FPointerPollTimer.reset();
    if (FOwnerHooked)
        if (QObject* owner = Owner()) owner->removeEventFilter(this);
    if (TTrayIconHandler* handler = TTrayIconHandler::Instance()) handler->Remove(FNotifyData.uID);
    TTrayIconHandler::ReleaseTrayWindow();
}

// ------------------------------------------------------------ shell requests

void TTrayIcon::FillRecord() {
    FNotifyData.hIcon = FIcon.Handle();
    std::memset(FNotifyData.szTip, 0, sizeof FNotifyData.szTip);
    if (!FHint.isEmpty() && FShowHint)
        StrPLCopy(FNotifyData.szTip, FHint, sizeof FNotifyData.szTip - 1);
}

bool TTrayIcon::Request(unsigned message) {
    FillRecord();
    return Shell().NotifyIcon(message, FNotifyData);
}

bool TTrayIcon::AddIcon() {
    if (!FApplyingPreview) FIconVisible = true;
    if (Runtime() || FApplyingPreview) return Request(NIM_ADD);
    return false;
}

bool TTrayIcon::RemoveIcon() {
    if (!FApplyingPreview) FIconVisible = false;
    if (Runtime() || FApplyingPreview) return Request(NIM_DELETE);
    return false;
}

bool TTrayIcon::UpdateIcon() {
    if (Runtime() || FApplyingPreview) return Request(NIM_MODIFY);
    return false;
}

bool TTrayIcon::ShowBalloonHint(const AnsiString& title, const AnsiString& text,
                                TBalloonIconKind iconKind, std::uint8_t timeoutSecs) {
    // The balloon fields go out only with this request; every later update
    // sends the plain flags again, even when a request below fails.
    const auto restoreFlags = qScopeGuard([this] { FNotifyData.uFlags = kRecordFlags; });

    // An empty text takes a balloon that is still shown away first.
    FNotifyData.uFlags |= NIF_INFO;
    FNotifyData.szInfo[0] = '\0';
    UpdateIcon();

    StrPLCopy(FNotifyData.szInfo, text, sizeof FNotifyData.szInfo - 1);
    StrPLCopy(FNotifyData.szInfoTitle, title, sizeof FNotifyData.szInfoTitle - 1);
    FNotifyData.uTimeout = std::uint32_t(timeoutSecs) * 1000;
    FNotifyData.dwInfoFlags = std::uint32_t(iconKind);
    return UpdateIcon();
}

// --------------------------------------------------------------- properties

void TTrayIcon::SetDesignPreview(bool value) {
    FDesignPreview = value;
    if (!IsDesigning()) return;
    FApplyingPreview = true;
    const auto endPreview = qScopeGuard([this] { FApplyingPreview = false; });
    if (FIcon.Icon().isNull() && UseDefaultDesignIcon())
        FIcon.SetIcon(QApplication::style()->standardIcon(QStyle::SP_TitleBarMenuButton));
    if (value)
        AddIcon();
    else
        RemoveIcon();
}

void TTrayIcon::SetIconList(TCustomImageList* value) {
    QObject::disconnect(FIconListGone);
    FIconList = value;
    // A list that goes away is let go of as if it had been cleared.
    if (value)
        FIconListGone = connect(value, &QObject::destroyed, this, [this] { SetIconList(nullptr); });
    SetIconIndex(0);
}

void TTrayIcon::SetCycleIcons(bool value) {
    FCycleIcons = value;
    if (value) {
        SetIconIndex(0);
        FIconCycleTimer->SetInterval(FCycleInterval);
        FIconCycleTimer->SetEnabled(true);
    } else {
        FIconCycleTimer->SetEnabled(false);
    }
}

void TTrayIcon::SetCycleInterval(unsigned value) {
    if (value == FCycleInterval) return;
    FCycleInterval = value;
    SetCycleIcons(FCycleIcons);
}

int TTrayIcon::CycleIntervalValue() const {
    return FCycleInterval > unsigned(INT_MAX) ? INT_MAX : int(FCycleInterval);
}

void TTrayIcon::SetCycleIntervalValue(int value) {
    if (value < 0) throw EConvertError(QStringLiteral("'%1' is not a valid interval").arg(value));
    SetCycleInterval(unsigned(value));
}

void TTrayIcon::SetHint(const AnsiString& value) {
    FHint = value;
    UpdateIcon();
}

void TTrayIcon::SetShowHint(bool value) {
    FShowHint = value;
    UpdateIcon();
}

void TTrayIcon::SetIcon(const QIcon& value) {
    FIcon.SetIcon(value);
    FIconSource.clear();
    UpdateIcon();
}

void TTrayIcon::SetIconSource(const QString& value) {
    // A path that names no readable image gives an empty icon, which the
    // shell is sent as no icon at all.
    QIcon icon(value);
    if (value.isEmpty() || icon.pixmap(16, 16).isNull()) icon = QIcon();
    FIcon.SetIcon(icon);
    FIconSource = value;
    UpdateIcon();
}

void TTrayIcon::SetIconVisible(bool value) {
    if (value)
        AddIcon();
    else
        RemoveIcon();
}

void TTrayIcon::SetIconIndex(int value) {
    if (FIconList) {
        const int count = FIconList->Count();
        FIconIndex = value >= count ? count - 1 : value;
        SetIcon(FIconList->GetIcon(FIconIndex));
    } else {
        FIconIndex = 0;
    }
    UpdateIcon();
}

void TTrayIcon::SetPopupMenu(TPopupMenu* value) {
    FPopupMenu = value;
}

void TTrayIcon::SetWantEnterExitEvents(bool value) {
    FWantEnterExitEvents = value;
    FPointerPollTimer->SetEnabled(value);
}

// --------------------------------------------------------------- operations

void TTrayIcon::HideMainWindow() {
    // The main window carries the taskbar entry, so hiding it hides both.
    if (OwnerWindow() && Application && Application->MainForm())
        Application->MainForm()->SetVisible(false);
}

void TTrayIcon::PopupMenuAt(int x, int y) {
    // The menu is Qt's: it takes the focus and closes on a click elsewhere by
    // itself, so nothing has to be brought to the front for it or woken
    // after it.
    if (!FPopupMenu) return;
    FPopupMenu->SetPopupComponent(this);
    FPopupMenu->Popup(x, y);
}

void TTrayIcon::PopupMenuAtCursor() {
    bool ok = false;
    const TPoint p = PointerPos(&ok);
    if (ok) PopupMenuAt(p.X, p.Y);
}

void TTrayIcon::SendToTray() {
    HideMainWindow();
    SetIconVisible(true);
}

void TTrayIcon::Cycle() {
    const int next = FIconList && FIconIndex + 1 < FIconList->Count() ? FIconIndex + 1 : 0;
    OnCycle(this, next);
}

void TTrayIcon::Loaded() {
    TComponent::Loaded();
    if (Runtime() && OwnerWindow()) {
        bool showMainForm = true;
        OnStartup(this, showMainForm);
        if (!showMainForm) {
            if (Application) Application->SetShowMainForm(false);
            HideMainWindow();
        }
    }
    UpdateIcon();
    SetIconVisible(FIconVisible);
    SetCycleIcons(FCycleIcons);
    SetWantEnterExitEvents(FWantEnterExitEvents);
    FNotifyData.uTimeout = 0; // the version
    Request(NIM_SETVERSION);
}

TPoint TTrayIcon::PointerPos(bool* ok) const {
    TPoint p;
    const bool got = Shell().GetCursorPos(p);
    if (ok) *ok = got;
    return got ? p : TPoint{};
}

// ------------------------------------------------------------------ messages

void TTrayIcon::TrayMessage(std::uint32_t event) {
    // Any handler below may free this component.
    const QPointer<TTrayIcon> self(this);
    const bool mouse = event >= WM_MOUSEMOVE && event <= WM_MBUTTONDBLCLK;
    if (mouse && !FEnabled) return;
    TPoint p;
    TShiftState shift = 0;
    if (mouse) {
        p = PointerPos();
        shift = Shell().KeyShiftState() & (ssShift | ssAlt | ssCtrl);
    }
    switch (event) {
    case WM_MOUSEMOVE:
        if (FWantEnterExitEvents && FPointerOutside) {
            MouseEnter();
            if (!self) return;
            FPointerOutside = false;
        }
        MouseMove(shift, p.X, p.Y);
        if (!self) return;
        FLastPointerPos = p;
        break;
    case WM_LBUTTONDOWN:
        // With a double-click handler a click waits until a double-click
        // can no longer come. A button-down is never the second half of a
        // double-click, so a double-click that no tick has cleared yet (the
        // click is the third one in a row, or the double-click came while no
        // handler waited for it) must not swallow this click.
        if (OnDblClick) {
            FDoubleClicked = false;
            FDoubleClickTimer->SetInterval(DoubleClickTime());
            FDoubleClickTimer->SetEnabled(true);
        }
        MouseDown(mbLeft, shift | ssLeft, p.X, p.Y);
        if (!self) return;
        FLeftDownSeen = true;
        if (FLeftPopup && MenuPopsUp()) PopupMenuAtCursor();
        break;
    case WM_LBUTTONUP:
        if (FLeftDownSeen) {
            FClickPending = true;
            if (!FDoubleClickTimer->Enabled()) {
                FLeftDownSeen = false;
                FClickPending = false;
                Click();
                if (!self) return;
            }
        }
        FLeftDownSeen = false;
        MouseUp(mbLeft, shift | ssLeft, p.X, p.Y);
        break;
    case WM_LBUTTONDBLCLK:
        FClickPending = false;
        FDoubleClicked = true;
        DblClick();
        if (!self) return;
        if (MenuPopsUp() && !FLeftPopup) {
            for (TMenuItem* item : FPopupMenu->Items()) {
                if (!item->Default()) continue;
                // A disabled item does nothing, whichever way it is reached.
                if (item->Enabled()) item->Click();
                break;
            }
        }
        break;
    case WM_RBUTTONDOWN:
        MouseDown(mbRight, shift | ssRight, p.X, p.Y);
        if (!self) return;
        if (MenuPopsUp()) PopupMenuAtCursor();
        break;
    case WM_RBUTTONUP:
        MouseUp(mbRight, shift | ssRight, p.X, p.Y);
        break;
    case WM_MBUTTONDOWN:
        MouseDown(mbMiddle, shift | ssMiddle, p.X, p.Y);
        break;
    case WM_MBUTTONUP:
        MouseUp(mbMiddle, shift | ssMiddle, p.X, p.Y);
        break;
    case NIN_BALLOONSHOW:
        OnBalloonHintShow(this);
        break;
    case NIN_BALLOONHIDE:
        OnBalloonHintHide(this);
        break;
    case NIN_BALLOONTIMEOUT:
        OnBalloonHintTimeout(this);
        break;
    case NIN_BALLOONUSERCLICK:
        OnBalloonHintClick(this);
        break;
    default:
        break;
    }
}

void TTrayIcon::DoubleClickTick() {
    FDoubleClickTimer->SetEnabled(false);
    if (FClickPending && !FDoubleClicked) {
        FClickPending = false;
        const QPointer<TTrayIcon> self(this);
        Click();
        if (!self) return;
    }
    FDoubleClicked = false;
}

void TTrayIcon::PointerPollTick() {
    if (FPointerOutside) return;
    bool ok = false;
    const TPoint p = PointerPos(&ok);
    if (ok && p != FLastPointerPos) {
        FPointerOutside = true;
        MouseExit();
    }
}

void TTrayIcon::IconCycleTick() {
    if (!FIconList) return;
    const QPointer<TTrayIcon> self(this);
    Cycle();
    if (!self || !FIconList) return;
    SetIconIndex(FIconIndex < FIconList->Count() - 1 ? FIconIndex + 1 : 0);
}

void TTrayIcon::TaskbarCreated() {
    // The shell lost every icon when its taskbar went; bring this one back.
    if (Runtime() && FIconVisible) AddIcon();
}

// -------------------------------------------------------------------- hooks
//
// The application's minimize and restore come through TTrayIconHandler, the
// owner window's through eventFilter. A main form here is never an MDI
// frame, so the start-up question is asked in Loaded only.

void TTrayIcon::ApplicationMinimized() {
    if (!Runtime() || !FMinimizeToTray) return;
    // Minimizing the owner window may already have sent the main window here.
    if (Application && Application->MainForm() && !Application->MainForm()->isVisible()) return;
    SendToTray();
}

void TTrayIcon::ApplicationRestored() {
    if (!Runtime() || !Application) return;
    TForm* mainForm = Application->MainForm();
    if (!mainForm) return;
    if (mainForm->isMinimized()) mainForm->showNormal();
    mainForm->SetVisible(true);
}

void TTrayIcon::OwnerMinimized() {
    QWidget* owner = OwnerWindow();
    // Still minimized and on screen: not restored in the meantime, and not
    // already sent to the tray by the application's own minimize.
    if (!FMinimizeToTray || !owner || !owner->isMinimized() || !owner->isVisible()) return;
    if (OnMinimizeToTray) {
        // The component takes the minimize over: the window goes to the tray
        // instead of the taskbar and is not left minimized.
        const QPointer<TTrayIcon> self(this);
        OnMinimizeToTray(this);
        if (!self) return;
        SendToTray();
        if (!self) return;
        owner->setWindowState(owner->windowState() & ~Qt::WindowMinimized);
    } else if (Application && owner == Application->MainForm()) {
        // The main window minimized is the application minimized.
        SendToTray();
    }
}

bool TTrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (FOwnerHooked && watched == Owner()) {
        QWidget* owner = OwnerWindow();
        switch (event->type()) {
        case QEvent::Show:
            // Shown from code (from the tray): in front of the other programs.
            if (owner && !event->spontaneous()) {
                owner->raise();
                owner->activateWindow();
            }
            break;
        case QEvent::WindowStateChange:
            // The window is told before it is shown minimized (showMinimized
            // shows it after changing the state), so the answer comes from
            // the message loop.
            if (owner && owner->isMinimized() && FMinimizeToTray &&
                !QCoreApplication::closingDown())
                QMetaObject::invokeMethod(
                    this, [this] { Guarded(this, [this] { OwnerMinimized(); }); },
                    Qt::QueuedConnection);
            break;
        default:
            break;
        }
    }
    return TComponent::eventFilter(watched, event);
}

void RegisterTrayClasses() {
    RegisterClass<TTrayIcon>();
}
