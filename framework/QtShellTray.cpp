#include "QtShellTray.h"

#include "Application.h"
#include "Strings.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <climits>

namespace {

constexpr int kHostWatchMs = 2000;
constexpr int kDefaultBalloonMs = 10000;

QSystemTrayIcon::MessageIcon MessageIconFor(std::uint32_t infoFlags) {
    switch (infoFlags & 0x0F) {
    case NIIF_INFO:
        return QSystemTrayIcon::Information;
    case NIIF_WARNING:
        return QSystemTrayIcon::Warning;
    case NIIF_ERROR:
        return QSystemTrayIcon::Critical;
    default:
        return QSystemTrayIcon::NoIcon;
    }
}

} // namespace

TQtShellTray::TQtShellTray(QObject* parent) : QObject(parent) {
    // When a notification area appears (the panel started after the tool, or
    // came back after a crash) every window hears the taskbar-created notice,
    // so icons that could not be added are added again.
    FHostWatch.setInterval(kHostWatchMs);
    // Every notice below reaches the windows' handlers from a Qt signal or
    // a queued call, so each runs guarded.
    connect(&FHostWatch, &QTimer::timeout, this,
            [this] { Guarded(this, [this] { WatchHost(); }); });
}

TQtShellTray::~TQtShellTray() = default;

bool TQtShellTray::TrayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TQtShellTray::WatchHost() {
    const bool available = TrayAvailable();
    const bool appeared = available && !FHostAvailable;
    FHostAvailable = available;
    if (appeared) BroadcastShellMessage(TaskbarCreatedMessage(), 0, 0);
}

QSystemTrayIcon* TQtShellTray::TrayIcon(THandle wnd, std::uint32_t id) const {
    const auto it = FIcons.find({wnd, id});
    return it == FIcons.end() ? nullptr : it->second.Tray.get();
}

bool TQtShellTray::BalloonShown(THandle wnd, std::uint32_t id) const {
    const auto it = FIcons.find({wnd, id});
    return it != FIcons.end() && it->second.BalloonShown;
}

bool TQtShellTray::NotifyIcon(unsigned message, const TNotifyIconDataA& data) {
    if (!FHostWatch.isActive()) {
        FHostAvailable = TrayAvailable();
        FHostWatch.start();
    }
    const TKey key{data.Wnd, data.uID};
    const auto it = FIcons.find(key);
    switch (message) {
    case NIM_ADD: {
        if (it != FIcons.end() || !TrayAvailable()) return false;
        TEntry& entry = FIcons[key];
        // Parented as well, so that they go with the shell at the end.
        entry.Tray.reset(new QSystemTrayIcon(this));
        entry.BalloonTimer.reset(new QTimer(this));
        entry.BalloonTimer->setSingleShot(true);
        connect(entry.BalloonTimer.get(), &QTimer::timeout, this, [this, key] {
            Guarded(this, [&] { EndBalloon(key, NIN_BALLOONTIMEOUT, false); });
        });
        connect(entry.Tray.get(), &QSystemTrayIcon::activated, this,
                [this, key](QSystemTrayIcon::ActivationReason r) {
                    Guarded(this, [&] { Activated(key, r); });
                });
        connect(entry.Tray.get(), &QSystemTrayIcon::messageClicked, this, [this, key] {
            Guarded(this, [&] { EndBalloon(key, NIN_BALLOONUSERCLICK, false); });
        });
        Apply(key, entry, data);
        entry.Tray->show();
        return true;
    }
    case NIM_MODIFY:
        if (it == FIcons.end()) return false;
        Apply(key, it->second, data);
        return true;
    case NIM_DELETE: {
        if (it == FIcons.end()) return false;
        const bool hadBalloon = it->second.BalloonShown;
        const std::uint32_t callbackMessage = it->second.CallbackMessage;
        it->second.Tray->hide();
        FIcons.erase(it);
        // The window hears that the balloon went with the icon.
        if (hadBalloon) Send(key, callbackMessage, NIN_BALLOONHIDE, true);
        return true;
    }
    case NIM_SETVERSION:
        return it != FIcons.end();
    default:
        return false;
    }
}

void TQtShellTray::Apply(const TKey& key, TEntry& entry, const TNotifyIconDataA& data) {
    if (data.uFlags & NIF_MESSAGE) entry.CallbackMessage = data.uCallbackMessage;
    if (data.uFlags & NIF_ICON) {
        entry.Icon = IconFromHandle(data.hIcon);
        // An icon without an image cannot be seen or clicked; show the
        // application's own instead.
        entry.Tray->setIcon(entry.Icon.isNull() ? QApplication::windowIcon() : entry.Icon);
    }
    if (data.uFlags & NIF_TIP)
        entry.Tray->setToolTip(AnsiToWide(FieldText(data.szTip, sizeof data.szTip)));
    if (data.uFlags & NIF_INFO) ShowBalloon(key, entry, data);
}

void TQtShellTray::ShowBalloon(const TKey& key, TEntry& entry, const TNotifyIconDataA& data) {
    const QByteArray text = FieldText(data.szInfo, sizeof data.szInfo);
    if (text.isEmpty()) {
        // An empty text takes a balloon that is still up away.
        if (entry.BalloonShown) EndBalloon(key, NIN_BALLOONHIDE, true);
        return;
    }
    const QString title = AnsiToWide(FieldText(data.szInfoTitle, sizeof data.szInfoTitle));
    const int ms = data.uTimeout == 0 ? kDefaultBalloonMs
                                      : int(std::min<std::uint32_t>(data.uTimeout, INT_MAX));
    if ((data.dwInfoFlags & 0x0F) == NIIF_USER)
        entry.Tray->showMessage(title, AnsiToWide(text), entry.Icon, ms);
    else
        entry.Tray->showMessage(title, AnsiToWide(text), MessageIconFor(data.dwInfoFlags), ms);
    entry.BalloonShown = true;
    // Qt tells when a message is clicked but not when it times out.
    entry.BalloonTimer->start(ms);
    Callback(key, NIN_BALLOONSHOW, true);
}

void TQtShellTray::EndBalloon(const TKey& key, std::uint32_t notice, bool queued) {
    const auto it = FIcons.find(key);
    if (it == FIcons.end() || !it->second.BalloonShown) return;
    it->second.BalloonShown = false;
    it->second.BalloonTimer->stop();
    Callback(key, notice, queued);
}

void TQtShellTray::Callback(const TKey& key, std::uint32_t event, bool queued) {
    const auto it = FIcons.find(key);
    if (it != FIcons.end()) Send(key, it->second.CallbackMessage, event, queued);
}

void TQtShellTray::Send(const TKey& key, std::uint32_t message, std::uint32_t event, bool queued) {
    if (!message) return;
    const auto send = [key, event, message] {
        SendShellMessage(key.first, message, key.second, event);
    };
    if (queued)
        QMetaObject::invokeMethod(
            this, [this, send] { Guarded(this, send); }, Qt::QueuedConnection);
    else
        send();
}

void TQtShellTray::Activated(const TKey& key, QSystemTrayIcon::ActivationReason reason) {
    // Qt reports a whole click; the window expects the button's way down and
    // up. The icon may be gone after the first half, so each half looks it
    // up again.
    const auto pair = [this, key](std::uint32_t down, std::uint32_t up) {
        Callback(key, down, false);
        if (FIcons.count(key)) Callback(key, up, false);
    };
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        pair(WM_LBUTTONDOWN, WM_LBUTTONUP);
        break;
    case QSystemTrayIcon::DoubleClick:
        pair(WM_LBUTTONDBLCLK, WM_LBUTTONUP);
        break;
    case QSystemTrayIcon::Context:
        pair(WM_RBUTTONDOWN, WM_RBUTTONUP);
        break;
    case QSystemTrayIcon::MiddleClick:
        pair(WM_MBUTTONDOWN, WM_MBUTTONUP);
        break;
    case QSystemTrayIcon::Unknown:
        break;
    }
}

bool TQtShellTray::GetCursorPos(TPoint& pos) {
    pos = TPoint::FromQPoint(QCursor::pos());
    return true;
}

TShiftState TQtShellTray::KeyShiftState() {
    return ShiftStateFrom(QGuiApplication::queryKeyboardModifiers(), Qt::NoButton);
}
