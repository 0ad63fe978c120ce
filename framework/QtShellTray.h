#pragma once
// The notification area of the running desktop, through QSystemTrayIcon.
// Each icon added by a record becomes one QSystemTrayIcon; what the user does
// with it comes back to the record's window as the callback messages the
// original shell sends. Qt reports whole clicks (Trigger, DoubleClick,
// Context, MiddleClick), which become each button's down and up messages; it
// reports no pointer moves over the icon, so none are sent. Balloon notices
// that a request causes reach the window from the message loop, never inside
// the request. Where the desktop has no notification area every request is
// refused and nothing else happens.

#include "ShellApi.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <map>
#include <memory>

class TQtShellTray : public QObject, public TShellNotifyArea {
    Q_OBJECT
public:
    explicit TQtShellTray(QObject* parent = nullptr);
    ~TQtShellTray() override;

    bool NotifyIcon(unsigned message, const TNotifyIconDataA& data) override;
    bool GetCursorPos(TPoint& pos) override;
    TShiftState KeyShiftState() override;

    // The Qt icon standing for the record's icon; null when it is not there.
    QSystemTrayIcon* TrayIcon(THandle wnd, std::uint32_t id) const;
    bool BalloonShown(THandle wnd, std::uint32_t id) const;

protected:
    // Whether the desktop offers a notification area right now.
    virtual bool TrayAvailable() const;

private:
    using TKey = std::pair<THandle, std::uint32_t>;
    // An icon may go while one of its own signals is being delivered.
    struct TDeleteLater {
        void operator()(QObject* object) const { object->deleteLater(); }
    };
    struct TEntry {
        std::unique_ptr<QSystemTrayIcon, TDeleteLater> Tray;
        std::unique_ptr<QTimer, TDeleteLater> BalloonTimer;
        std::uint32_t CallbackMessage = 0;
        QIcon Icon;
        bool BalloonShown = false;
    };

    void Apply(const TKey& key, TEntry& entry, const TNotifyIconDataA& data);
    void ShowBalloon(const TKey& key, TEntry& entry, const TNotifyIconDataA& data);
    void EndBalloon(const TKey& key, std::uint32_t notice, bool queued);
    // Sends the icon's callback message now, or from the message loop when
    // queued (notices that a request causes must not run inside it).
    void Callback(const TKey& key, std::uint32_t event, bool queued);
    // The same with the callback message given: the last notice of an icon
    // that was just deleted still goes to the message its record named.
    void Send(const TKey& key, std::uint32_t message, std::uint32_t event, bool queued);
    void Activated(const TKey& key, QSystemTrayIcon::ActivationReason reason);
    void WatchHost();

    std::map<TKey, TEntry> FIcons;
    QTimer FHostWatch;
    bool FHostAvailable = false;
};
