#include "ShellApi.h"

#include "Exceptions.h"
#include "QtShellTray.h"

#include <QCoreApplication>
#include <QPointer>
#include <cstring>

void StrPLCopy(char* dest, const QByteArray& text, std::size_t maxLen) {
    std::size_t n = std::min<std::size_t>(maxLen, std::size_t(text.size()));
    if (const void* zero = std::memchr(text.constData(), 0, n))
        n = std::size_t(static_cast<const char*>(zero) - text.constData());
    std::memcpy(dest, text.constData(), n);
    dest[n] = '\0';
}

QByteArray FieldText(const char* field, std::size_t size) {
    const void* zero = std::memchr(field, 0, size);
    const std::size_t n = zero ? std::size_t(static_cast<const char*>(zero) - field) : size;
    return QByteArray(field, qsizetype(n));
}

// ------------------------------------------------------------ hidden windows

namespace {

THandleTable<TShellWindow*>& Windows() {
    static THandleTable<TShellWindow*> table;
    return table;
}

THandleTable<QIcon>& Icons() {
    static THandleTable<QIcon> table;
    return table;
}

} // namespace

THandle RegisterShellWindow(TShellWindow* window) {
    return Windows().Add(window);
}

void UnregisterShellWindow(THandle handle) {
    Windows().Remove(handle);
}

bool IsShellWindow(THandle handle) {
    return Windows().Find(handle) != nullptr;
}

bool SendShellMessage(THandle handle, std::uint32_t message, std::uint32_t wParam,
                      std::uint32_t lParam) {
    TShellWindow* const* window = Windows().Find(handle);
    if (!window) return false;
    (*window)->ShellMessage(message, wParam, lParam);
    return true;
}

void BroadcastShellMessage(std::uint32_t message, std::uint32_t wParam, std::uint32_t lParam) {
    // A window may come or go while an earlier one handles the message.
    for (THandle h : Windows().Handles())
        SendShellMessage(h, message, wParam, lParam);
}

std::uint32_t RegisterWindowMessage(const QByteArray& name) {
    static std::map<QByteArray, std::uint32_t> messages;
    const auto it = messages.find(name);
    if (it != messages.end()) return it->second;
    const std::uint32_t id = 0xC000 + std::uint32_t(messages.size());
    messages.emplace(name, id);
    return id;
}

std::uint32_t TaskbarCreatedMessage() {
    static const std::uint32_t id = RegisterWindowMessage("TaskbarCreated");
    return id;
}

// ------------------------------------------------------------------- icons

TIconHandle::~TIconHandle() {
    if (FHandle) Icons().Remove(FHandle);
}

void TIconHandle::SetIcon(const QIcon& icon) {
    if (FHandle) Icons().Remove(FHandle);
    FHandle = 0;
    FIcon = icon;
    if (!icon.isNull()) FHandle = Icons().Add(icon);
}

QIcon IconFromHandle(THandle handle) {
    const QIcon* icon = handle ? Icons().Find(handle) : nullptr;
    return icon ? *icon : QIcon();
}

// ------------------------------------------------------------------- shell

namespace {

// What is left when the Qt application has already gone: no area at all.
class TNoShell : public TShellNotifyArea {
public:
    bool NotifyIcon(unsigned, const TNotifyIconDataA&) override { return false; }
    bool GetCursorPos(TPoint&) override { return false; }
    TShiftState KeyShiftState() override { return 0; }
};

TShellNotifyArea* CurrentShell = nullptr;

} // namespace

TShellNotifyArea& Shell() {
    if (CurrentShell) return *CurrentShell;
    // The Qt shell holds Qt objects, so it lives and dies with the application.
    static QPointer<TQtShellTray> qtShell;
    if (!qtShell && QCoreApplication::instance())
        qtShell = new TQtShellTray(QCoreApplication::instance());
    if (qtShell) return *qtShell;
    static TNoShell none;
    return none;
}

TShellNotifyArea* SetShell(TShellNotifyArea* shell) {
    TShellNotifyArea* previous = CurrentShell;
    CurrentShell = shell;
    return previous;
}

// ---------------------------------------------------------- recording shell

namespace {

// Takes over the fields that the record's flags say are meant.
void ApplyRecord(TRecordingShell::TShownIcon& icon, const TNotifyIconDataA& data) {
    TNotifyIconDataA& d = icon.Data;
    d.cbSize = data.cbSize;
    d.Wnd = data.Wnd;
    d.uID = data.uID;
    d.uFlags = data.uFlags;
    if (data.uFlags & NIF_MESSAGE) d.uCallbackMessage = data.uCallbackMessage;
    if (data.uFlags & NIF_ICON) d.hIcon = data.hIcon;
    if (data.uFlags & NIF_TIP) std::memcpy(d.szTip, data.szTip, sizeof d.szTip);
    if (data.uFlags & NIF_INFO) {
        std::memcpy(d.szInfo, data.szInfo, sizeof d.szInfo);
        std::memcpy(d.szInfoTitle, data.szInfoTitle, sizeof d.szInfoTitle);
        d.uTimeout = data.uTimeout;
        d.dwInfoFlags = data.dwInfoFlags;
        // An empty text removes the balloon; a text shows a new one.
        icon.BalloonShown = data.szInfo[0] != '\0';
    }
}

} // namespace

bool TRecordingShell::NotifyIcon(unsigned message, const TNotifyIconDataA& data) {
    if (Throw) throw Exception(QStringLiteral("The notification area failed"));
    FRequests.push_back({message, data});
    if (Refuse) return false;
    const TKey key{data.Wnd, data.uID};
    const auto it = FIcons.find(key);
    switch (message) {
    case NIM_ADD:
        if (it != FIcons.end()) return false;
        ApplyRecord(FIcons[key], data);
        return true;
    case NIM_MODIFY:
        if (it == FIcons.end()) return false;
        ApplyRecord(it->second, data);
        return true;
    case NIM_DELETE:
        if (it == FIcons.end()) return false;
        FIcons.erase(it);
        return true;
    case NIM_SETVERSION:
        return it != FIcons.end();
    default:
        return false;
    }
}

bool TRecordingShell::GetCursorPos(TPoint& pos) {
    if (!CursorAvailable) return false;
    pos = CursorPos;
    return true;
}

std::vector<TNotifyIconDataA> TRecordingShell::RequestsOf(unsigned message) const {
    std::vector<TNotifyIconDataA> result;
    for (const TRequest& r : FRequests)
        if (r.Message == message) result.push_back(r.Data);
    return result;
}

const TRecordingShell::TShownIcon* TRecordingShell::Find(THandle wnd, std::uint32_t id) const {
    const auto it = FIcons.find({wnd, id});
    return it == FIcons.end() ? nullptr : &it->second;
}

bool TRecordingShell::Notify(THandle wnd, std::uint32_t id, std::uint32_t event) {
    const TShownIcon* icon = Find(wnd, id);
    if (!icon || !icon->Data.uCallbackMessage) return false;
    return SendCallback(icon->Data, event);
}

bool TRecordingShell::SendCallback(const TNotifyIconDataA& data, std::uint32_t event) {
    return SendShellMessage(data.Wnd, data.uCallbackMessage, data.uID, event);
}

void TRecordingShell::RecreateTaskbar() {
    FIcons.clear();
    BroadcastShellMessage(TaskbarCreatedMessage(), 0, 0);
}
