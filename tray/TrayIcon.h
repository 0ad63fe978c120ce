#pragma once
// A non-visual component that keeps one icon in the notification area: it
// reports mouse activity on the icon as events, shows balloon messages, pops
// up a menu, steps through the images of an image list and can hide the
// application's main window into the notification area.
//
// All tray icons of the process share one hidden window (TTrayIconHandler)
// that the shell's callback messages go to. The shell itself is whatever
// ShellApi.h has installed: the desktop's notification area, or a recorder
// in tests.
//
// Texts (hint, balloon title and text) are 8-bit strings in the system code
// page, as the shell's record holds them. The image is a QIcon; in a stored
// layout the Icon property names the icon's resource path.

#include "Controls.h"
#include "ImgList.h"
#include "Menus.h"
#include "SharedWindow.h"
#include "ShellApi.h"
#include "SimpleTimer.h"
#include "Strings.h"

#include <QIcon>
#include <QPointer>
#include <functional>
#include <memory>

class TTrayIcon;

enum TBalloonIconKind { bikNone = 0, bikInfo = 1, bikWarning = 2, bikError = 3, bikUser = 4 };

using TCycleEvent = TEvent<QObject*, int>;     // Sender, NextIndex
using TStartupEvent = TEvent<QObject*, bool&>; // Sender, ShowMainForm

// The callback message every tray icon asks the shell for.
inline constexpr std::uint32_t WM_TRAYNOTIFY = 0x0800;

// The hidden window shared by the tray icons of the process; Instance() is
// null while no tray icon lives. It hands each icon an identifier for the
// shell's record and finds the icon again from the identifier a callback
// message carries; a message for an icon that is gone is dropped.
class TTrayIconHandler : public QObject,
                         public TShellWindow,
                         public TSharedWindow<TTrayIconHandler> {
    Q_OBJECT
public:
    static void AcquireTrayWindow() { Acquire(); }
    // Removes a user, never below zero; at zero the handler and its window go.
    static void ReleaseTrayWindow() { Release(); }

    THandle Window() const { return FWindow; }
    TTrayIcon* Find(std::uint32_t id) const;

    void ShellMessage(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) override;

private:
    friend class TSharedWindow<TTrayIconHandler>;
    friend class TTrayIcon;
    TTrayIconHandler();
    ~TTrayIconHandler() override;

    std::uint32_t Add(TTrayIcon* icon) { return FIcons.Add(icon); }
    void Remove(std::uint32_t id) { FIcons.Remove(id); }
    // Runs fn on every live icon; a handler that fn raises may free icons,
    // even the last one and with it this handler.
    static void ForEachIcon(void (TTrayIcon::*fn)());

    THandle FWindow = 0;
    THandleTable<TTrayIcon*> FIcons;
    std::function<void()> FOldOnMinimize;
    std::function<void()> FOldOnRestore;
    bool FHooked = false;
};

class TTrayIcon : public TComponent {
    Q_OBJECT
    Q_PROPERTY(bool DesignPreview READ DesignPreview WRITE SetDesignPreview)
    Q_PROPERTY(TCustomImageList* IconList READ IconList WRITE SetIconList)
    Q_PROPERTY(bool CycleIcons READ CycleIcons WRITE SetCycleIcons)
    // Milliseconds; a layout cannot hold a negative number here.
    Q_PROPERTY(int CycleInterval READ CycleIntervalValue WRITE SetCycleIntervalValue)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    // The tooltip; stored as text and held in the system code page.
    Q_PROPERTY(QString Hint READ HintText WRITE SetHintText)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    // The resource path of the icon's image.
    Q_PROPERTY(QString Icon READ IconSource WRITE SetIconSource)
    Q_PROPERTY(bool IconVisible READ IconVisible WRITE SetIconVisible)
    Q_PROPERTY(int IconIndex READ IconIndex WRITE SetIconIndex)
    Q_PROPERTY(TPopupMenu* PopupMenu READ PopupMenu WRITE SetPopupMenu)
    Q_PROPERTY(bool LeftPopup READ LeftPopup WRITE SetLeftPopup)
    Q_PROPERTY(bool WantEnterExitEvents READ WantEnterExitEvents WRITE SetWantEnterExitEvents)
    Q_PROPERTY(bool MinimizeToTray READ MinimizeToTray WRITE SetMinimizeToTray)
public:
    explicit TTrayIcon(QObject* owner = nullptr);
    ~TTrayIcon() override;

    bool DesignPreview() const { return FDesignPreview; }
    void SetDesignPreview(bool value);
    TCustomImageList* IconList() const { return FIconList; }
    void SetIconList(TCustomImageList* value);
    bool CycleIcons() const { return FCycleIcons; }
    void SetCycleIcons(bool value);
    unsigned CycleInterval() const { return FCycleInterval; }
    void SetCycleInterval(unsigned value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    const AnsiString& Hint() const { return FHint; }
    void SetHint(const AnsiString& value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool value);
    const QIcon& Icon() const { return FIcon.Icon(); }
    void SetIcon(const QIcon& value);
    bool IconVisible() const { return FIconVisible; }
    void SetIconVisible(bool value);
    int IconIndex() const { return FIconIndex; }
    void SetIconIndex(int value);
    TPopupMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* value);
    bool LeftPopup() const { return FLeftPopup; }
    void SetLeftPopup(bool value) { FLeftPopup = value; }
    bool WantEnterExitEvents() const { return FWantEnterExitEvents; }
    void SetWantEnterExitEvents(bool value);
    bool MinimizeToTray() const { return FMinimizeToTray; }
    void SetMinimizeToTray(bool value) { FMinimizeToTray = value; }

    // The property forms of the layouts.
    int CycleIntervalValue() const;
    void SetCycleIntervalValue(int value);
    QString HintText() const { return AnsiToWide(FHint); }
    void SetHintText(const QString& value) { SetHint(WideToAnsi(value)); }
    const QString& IconSource() const { return FIconSource; }
    void SetIconSource(const QString& value);

    // The shell's record as it was last filled; its identifier is this
    // icon's within the shared window.
    const TNotifyIconDataA& NotifyData() const { return FNotifyData; }

    // Shell requests; true when the shell took them.
    virtual bool UseDefaultDesignIcon() { return true; }
    virtual bool AddIcon();
    virtual bool RemoveIcon();
    virtual bool UpdateIcon();
    // Replaces a balloon that may still be shown by a new one. The text is
    // cut to 255 characters, the title to 63; the time-out is in seconds.
    bool ShowBalloonHint(const AnsiString& title, const AnsiString& text, TBalloonIconKind iconKind,
                         std::uint8_t timeoutSecs);

    void HideMainWindow();
    // Pops the menu up at a screen point; the component is recorded as the
    // one that invoked it.
    void PopupMenuAt(int x, int y);
    void PopupMenuAtCursor();

    void Loaded() override;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseExit;
    TCycleEvent OnCycle;
    TNotifyEvent OnBalloonHintShow;
    TNotifyEvent OnBalloonHintHide;
    TNotifyEvent OnBalloonHintTimeout;
    TNotifyEvent OnBalloonHintClick;
    TNotifyEvent OnMinimizeToTray;
    TStartupEvent OnStartup;

    // Event dispatchers.
    virtual void Click() { OnClick(this); }
    virtual void DblClick() { OnDblClick(this); }
    // Raises OnCycle with the index the cycle step is about to show.
    virtual void Cycle();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
        OnMouseDown(this, button, shift, x, y);
    }
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
        OnMouseUp(this, button, shift, x, y);
    }
    virtual void MouseMove(TShiftState shift, int x, int y) { OnMouseMove(this, shift, x, y); }
    virtual void MouseEnter() { OnMouseEnter(this); }
    virtual void MouseExit() { OnMouseExit(this); }
    // Hides the main window and shows the icon.
    virtual void SendToTray();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class TTrayIconHandler;

    bool Runtime() const { return !IsDesigning(); }
    bool Request(unsigned message);
    void FillRecord();
    // One callback message from the shell (its second parameter).
    void TrayMessage(std::uint32_t event);
    void TaskbarCreated();
    void ApplicationMinimized();
    void ApplicationRestored();
    void OwnerMinimized();
    void IconCycleTick();
    void DoubleClickTick();
    void PointerPollTick();
    TPoint PointerPos(bool* ok = nullptr) const;
    bool MenuPopsUp() const { return FPopupMenu && FPopupMenu->AutoPopup(); }
    QWidget* OwnerWindow() const { return qobject_cast<QWidget*>(Owner()); }

    bool FDesignPreview = false;
    QPointer<TCustomImageList> FIconList;
    QMetaObject::Connection FIconListGone;
    bool FCycleIcons = false;
    unsigned FCycleInterval = 0;
    bool FEnabled = true;
    AnsiString FHint;
    bool FShowHint = true;
    TIconHandle FIcon;
    QString FIconSource;
    bool FIconVisible = false;
    int FIconIndex = 0;
    QPointer<TPopupMenu> FPopupMenu; // cleared when the menu goes
    bool FLeftPopup = false;
    bool FWantEnterExitEvents = false;
    bool FMinimizeToTray = false;

    TNotifyIconDataA FNotifyData{};
    std::unique_ptr<TSimpleTimer> FIconCycleTimer;
    std::unique_ptr<TSimpleTimer> FDoubleClickTimer;
    std::unique_ptr<TSimpleTimer> FPointerPollTimer;
    bool FLeftDownSeen = false;
    bool FClickPending = false;
    bool FDoubleClicked = false;
    bool FPointerOutside = true;
    TPoint FLastPointerPos;
    bool FApplyingPreview = false;
    bool FOwnerHooked = false;
};

// Registers TTrayIcon with the class registry so that window layouts can
// hold one. Call once at start.
void RegisterTrayClasses();
