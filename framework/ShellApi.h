#pragma once
// The notification area ("the shell"): one request over one record, as the
// shell of the original platform takes it, behind an interface so that the
// icon component does not care who shows the icon. The Qt implementation
// (QtShellTray.h) drives QSystemTrayIcon; TRecordingShell keeps the requests
// and lets tests play the shell's callback messages back.
//
// Handles: window and icon handles are 32-bit numbers that this layer hands
// out, so the record keeps its 8-bit form and its 488 bytes on every
// platform. A handle that is no longer registered resolves to nothing, which
// is how a message for a window that is gone gets dropped.

#include "Controls.h"
#include "Types.h"

#include <QByteArray>
#include <QIcon>
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

using THandle = std::uint32_t;

// The record of a notification-area request with the balloon fields.
struct TNotifyIconDataA {
    std::uint32_t cbSize;
    THandle Wnd;          // the window the callback messages go to
    std::uint32_t uID;    // the icon's identifier within that window
    std::uint32_t uFlags; // NIF_*: which of the fields below count
    std::uint32_t uCallbackMessage;
    THandle hIcon;
    char szTip[128];
    std::uint32_t dwState;
    std::uint32_t dwStateMask;
    char szInfo[256];
    std::uint32_t uTimeout; // balloon time-out in ms; the version for NIM_SETVERSION
    char szInfoTitle[64];
    std::uint32_t dwInfoFlags; // NIIF_*: the balloon's icon kind
};
static_assert(sizeof(TNotifyIconDataA) == 488, "the record keeps the size the shell expects");
static_assert(offsetof(TNotifyIconDataA, szTip) == 24);
static_assert(offsetof(TNotifyIconDataA, szInfo) == 160);
static_assert(offsetof(TNotifyIconDataA, szInfoTitle) == 420);

inline constexpr std::uint32_t NOTIFYICONDATAA_SIZE = 488;

// Requests.
inline constexpr unsigned NIM_ADD = 0;
inline constexpr unsigned NIM_MODIFY = 1;
inline constexpr unsigned NIM_DELETE = 2;
inline constexpr unsigned NIM_SETVERSION = 4;

// Record flags.
inline constexpr std::uint32_t NIF_MESSAGE = 0x01;
inline constexpr std::uint32_t NIF_ICON = 0x02;
inline constexpr std::uint32_t NIF_TIP = 0x04;
inline constexpr std::uint32_t NIF_INFO = 0x10;

// Balloon icon kinds.
inline constexpr std::uint32_t NIIF_NONE = 0;
inline constexpr std::uint32_t NIIF_INFO = 1;
inline constexpr std::uint32_t NIIF_WARNING = 2;
inline constexpr std::uint32_t NIIF_ERROR = 3;
inline constexpr std::uint32_t NIIF_USER = 4;

// What a callback message reports (its second parameter).
inline constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
inline constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x0206;
inline constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr std::uint32_t WM_MBUTTONDBLCLK = 0x0209;
inline constexpr std::uint32_t WM_USER = 0x0400;
inline constexpr std::uint32_t NIN_BALLOONSHOW = WM_USER + 2;
inline constexpr std::uint32_t NIN_BALLOONHIDE = WM_USER + 3;
inline constexpr std::uint32_t NIN_BALLOONTIMEOUT = WM_USER + 4;
inline constexpr std::uint32_t NIN_BALLOONUSERCLICK = WM_USER + 5;

// Copies at most maxLen bytes of text (stopping at a zero byte) into dest and
// terminates it; dest must hold maxLen + 1 bytes.
void StrPLCopy(char* dest, const QByteArray& text, std::size_t maxLen);
// The text of a zero-terminated field of size bytes (a full field without a
// terminator is taken whole).
QByteArray FieldText(const char* field, std::size_t size);

// Hands out nonzero 32-bit handles that are not in use, so a handle that was
// released is not taken again until the counter has gone all the way round
// (a message still on its way to a handle that is gone reaches nobody).
template <class T> class THandleTable {
public:
    THandle Add(T value) {
        do {
            ++FNext;
        } while (FNext == 0 || FItems.count(FNext));
        FItems.emplace(FNext, std::move(value));
        return FNext;
    }
    void Remove(THandle handle) { FItems.erase(handle); }
    const T* Find(THandle handle) const {
        const auto it = FItems.find(handle);
        return it == FItems.end() ? nullptr : &it->second;
    }
    // The handles in use, for loops in which entries may come and go.
    std::vector<THandle> Handles() const {
        std::vector<THandle> result;
        for (const auto& [h, v] : FItems)
            result.push_back(h);
        return result;
    }

private:
    std::map<THandle, T> FItems;
    THandle FNext = 0;
};

// ------------------------------------------------------------ hidden windows

// A window that the shell's messages reach: the tray component's hidden
// window. Messages carry two 32-bit parameters.
class TShellWindow {
public:
    virtual ~TShellWindow() = default;
    virtual void ShellMessage(std::uint32_t message, std::uint32_t wParam,
                              std::uint32_t lParam) = 0;
};

// Hands out a nonzero handle for the window; the window unregisters itself
// before it goes away.
THandle RegisterShellWindow(TShellWindow* window);
void UnregisterShellWindow(THandle handle);
bool IsShellWindow(THandle handle);
// Delivers a message to the window now; false when no window has the handle.
bool SendShellMessage(THandle handle, std::uint32_t message, std::uint32_t wParam,
                      std::uint32_t lParam);
// Delivers a message to every registered window (the taskbar-created notice).
void BroadcastShellMessage(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam);

// The id of a message known by name, the same for every caller of the
// process; ids start at 0xC000 as registered messages do.
std::uint32_t RegisterWindowMessage(const QByteArray& name);
// The message the shell sends every window when its taskbar is re-created.
std::uint32_t TaskbarCreatedMessage();

// ------------------------------------------------------------------- icons

// An icon with a handle that the record can carry. The handle exists while
// the object holds a non-empty icon; an empty icon has handle 0.
class TIconHandle {
public:
    TIconHandle() = default;
    explicit TIconHandle(const QIcon& icon) { SetIcon(icon); }
    ~TIconHandle();
    TIconHandle(const TIconHandle&) = delete;
    TIconHandle& operator=(const TIconHandle&) = delete;

    const QIcon& Icon() const { return FIcon; }
    void SetIcon(const QIcon& icon);
    THandle Handle() const { return FHandle; }

private:
    QIcon FIcon;
    THandle FHandle = 0;
};

// The icon behind a handle; an empty icon for 0 or a released handle.
QIcon IconFromHandle(THandle handle);

// ------------------------------------------------------------------- shell

class TShellNotifyArea {
public:
    virtual ~TShellNotifyArea() = default;
    // One request (NIM_*) over the record. False when the shell refused it
    // or has no notification area; nothing is raised for a refusal.
    virtual bool NotifyIcon(unsigned message, const TNotifyIconDataA& data) = 0;
    // The pointer's screen position while a callback is handled; false when
    // it cannot be read.
    virtual bool GetCursorPos(TPoint& pos) = 0;
    // ssShift, ssAlt and ssCtrl as the keyboard holds them right now.
    virtual TShiftState KeyShiftState() = 0;
};

// The shell in use: the Qt notification area unless another was installed.
TShellNotifyArea& Shell();
// Installs a shell (null: back to the Qt one) and returns the one before.
TShellNotifyArea* SetShell(TShellNotifyArea* shell);

// Installs a shell for the life of a scope.
class TShellScope {
public:
    explicit TShellScope(TShellNotifyArea* shell) : FPrevious(SetShell(shell)) {}
    ~TShellScope() { SetShell(FPrevious); }
    TShellScope(const TShellScope&) = delete;
    TShellScope& operator=(const TShellScope&) = delete;

private:
    TShellNotifyArea* FPrevious;
};

// A shell that keeps every request and the state it leads to, answers as
// the real shell does (adding an icon twice, or changing or deleting one
// that is not there, is refused) and plays callback messages back to the
// icon's window. The pointer position and the key state are whatever the
// test sets.
class TRecordingShell : public TShellNotifyArea {
public:
    struct TRequest {
        unsigned Message;
        TNotifyIconDataA Data;
    };
    // An icon as it stands in this notification area.
    struct TShownIcon {
        TNotifyIconDataA Data{};   // the fields last sent, balloon fields included
        bool BalloonShown = false; // a balloon with a text was asked for and not removed
    };
    using TKey = std::pair<THandle, std::uint32_t>;

    bool NotifyIcon(unsigned message, const TNotifyIconDataA& data) override;
    bool GetCursorPos(TPoint& pos) override;
    TShiftState KeyShiftState() override { return Shift; }

    const std::vector<TRequest>& Requests() const { return FRequests; }
    void ClearRequests() { FRequests.clear(); }
    // The requests of one kind, in order.
    std::vector<TNotifyIconDataA> RequestsOf(unsigned message) const;
    const TRequest& LastRequest() const { return FRequests.back(); }

    bool IsShown(THandle wnd, std::uint32_t id) const { return FIcons.count({wnd, id}) != 0; }
    // Null when the icon is not in the area.
    const TShownIcon* Find(THandle wnd, std::uint32_t id) const;
    std::size_t IconCount() const { return FIcons.size(); }

    // Sends the icon's callback message with event (WM_* or NIN_*) to its
    // window, as the shell does when something happens at the icon.
    // False when the icon is not in the area or its window is gone.
    bool Notify(THandle wnd, std::uint32_t id, std::uint32_t event);
    // Sends a callback message whether or not the icon is there (a message
    // that was already on its way).
    static bool SendCallback(const TNotifyIconDataA& data, std::uint32_t event);
    // The taskbar was re-created: every icon is gone and every window hears
    // the taskbar-created message.
    void RecreateTaskbar();

    // Refuse every request, as a shell without a notification area does.
    bool Refuse = false;
    // Raise an error from every request (a failing shell).
    bool Throw = false;
    TPoint CursorPos{0, 0};
    bool CursorAvailable = true;
    TShiftState Shift = 0;

private:
    std::vector<TRequest> FRequests;
    std::map<TKey, TShownIcon> FIcons;
};
