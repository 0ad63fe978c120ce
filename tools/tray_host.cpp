// A minimal notification area for an X11 display that has none (a bare
// Xvfb): it owns the system-tray selection of screen 0, announces itself to
// the root window and embeds every icon window that asks to be docked, side
// by side in a small strip at the top right of the screen. Qt's
// QSystemTrayIcon on X11 then finds a tray, shows its icon there and draws
// its balloons beside it. For trying the tool by hand and for scripts/
// e2e-probe.sh; it prints "tray host ready" once it owns the selection.
//
//   tray_host [--icon-size N]

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTextStream>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>
#include <xcb/xcb.h>

namespace {

constexpr std::uint32_t kRequestDock = 0;    // SYSTEM_TRAY_REQUEST_DOCK
constexpr std::uint32_t kEmbeddedNotify = 0; // XEMBED_EMBEDDED_NOTIFY
constexpr std::uint32_t kXEmbedVersion = 0;

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, std::uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

void SendClientMessage(xcb_connection_t* c, xcb_window_t to, xcb_atom_t type, std::uint32_t mask,
                       std::uint32_t d0, std::uint32_t d1, std::uint32_t d2, std::uint32_t d3 = 0,
                       std::uint32_t d4 = 0) {
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = to;
    ev.type = type;
    ev.data.data32[0] = d0;
    ev.data.data32[1] = d1;
    ev.data.data32[2] = d2;
    ev.data.data32[3] = d3;
    ev.data.data32[4] = d4;
    xcb_send_event(c, 0, to, mask, reinterpret_cast<const char*>(&ev));
}

class TTrayHost final : public QAbstractNativeEventFilter {
public:
    TTrayHost(xcb_connection_t* c, xcb_window_t root, QWidget* strip, int iconSize)
        : FConnection(c), FRoot(root), FStrip(strip), FIconSize(iconSize) {
        FOpcode = Atom(c, "_NET_SYSTEM_TRAY_OPCODE");
        FXEmbed = Atom(c, "_XEMBED");
        FSelection = Atom(c, "_NET_SYSTEM_TRAY_S0");
        FManager = Atom(c, "MANAGER");
        FOrientation = Atom(c, "_NET_SYSTEM_TRAY_ORIENTATION");
    }

    bool Claim() {
        const xcb_window_t self = xcb_window_t(FStrip->winId());
        const std::uint32_t horizontal = 0;
        xcb_change_property(FConnection, XCB_PROP_MODE_REPLACE, self, FOrientation,
                            XCB_ATOM_CARDINAL, 32, 1, &horizontal);
        // The strip learns of its icons' going through its children's
        // structure events, added to what Qt listens for itself.
        xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
            FConnection, xcb_get_window_attributes(FConnection, self), nullptr);
        const std::uint32_t mask =
            (attributes ? attributes->your_event_mask : 0) | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        std::free(attributes);
        xcb_change_window_attributes(FConnection, self, XCB_CW_EVENT_MASK, &mask);
        xcb_set_selection_owner(FConnection, self, FSelection, XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            FConnection, xcb_get_selection_owner(FConnection, FSelection), nullptr);
        const bool ours = owner && owner->owner == self;
        std::free(owner);
        if (!ours) return false;
        // Clients that started before the tray hear of it through MANAGER.
        SendClientMessage(FConnection, FRoot, FManager, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                          XCB_CURRENT_TIME, FSelection, self);
        xcb_flush(FConnection);
        return true;
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t") return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        switch (event->response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            auto* ev = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (ev->type == FOpcode && ev->data.data32[1] == kRequestDock) {
                Dock(ev->data.data32[2]);
                return true;
            }
            return false;
        }
        case XCB_DESTROY_NOTIFY:
            Forget(reinterpret_cast<xcb_destroy_notify_event_t*>(event)->window);
            return false;
        case XCB_REPARENT_NOTIFY: {
            auto* ev = reinterpret_cast<xcb_reparent_notify_event_t*>(event);
            if (ev->parent != xcb_window_t(FStrip->winId())) Forget(ev->window);
            return false;
        }
        default:
            return false;
        }
    }

private:
    void Dock(xcb_window_t icon) {
        if (std::find(FIcons.begin(), FIcons.end(), icon) != FIcons.end()) return;
        FIcons.push_back(icon);
        const xcb_window_t self = xcb_window_t(FStrip->winId());
        xcb_reparent_window(FConnection, icon, self, 0, 0);
        Arrange();
        xcb_map_window(FConnection, icon);
        SendClientMessage(FConnection, icon, FXEmbed, XCB_EVENT_MASK_NO_EVENT, XCB_CURRENT_TIME,
                          kEmbeddedNotify, 0, self, kXEmbedVersion);
        xcb_flush(FConnection);
        QTextStream(stdout) << "docked icon 0x" << Qt::hex << icon << Qt::endl;
    }

    void Forget(xcb_window_t icon) {
        const auto found = std::find(FIcons.begin(), FIcons.end(), icon);
        if (found == FIcons.end()) return;
        FIcons.erase(found);
        Arrange();
        FStrip->update();
        xcb_flush(FConnection);
    }

    // The icons stand in a row from the strip's right end leftwards.
    void Arrange() {
        const int gap = 2;
        int x = FStrip->width() - gap - FIconSize;
        for (const xcb_window_t icon : FIcons) {
            const std::uint32_t values[] = {std::uint32_t(std::max(x, 0)), std::uint32_t(gap),
                                            std::uint32_t(FIconSize), std::uint32_t(FIconSize)};
            xcb_configure_window(FConnection, icon,
                                 XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y |
                                     XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                                 values);
            x -= FIconSize + gap;
        }
    }

    xcb_connection_t* FConnection;
    xcb_window_t FRoot;
    QWidget* FStrip;
    int FIconSize;
    xcb_atom_t FOpcode = XCB_ATOM_NONE;
    xcb_atom_t FXEmbed = XCB_ATOM_NONE;
    xcb_atom_t FSelection = XCB_ATOM_NONE;
    xcb_atom_t FManager = XCB_ATOM_NONE;
    xcb_atom_t FOrientation = XCB_ATOM_NONE;
    std::vector<xcb_window_t> FIcons;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int iconSize = 24;
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--icon-size"));
    if (at >= 0 && at + 1 < args.size()) iconSize = std::clamp(args[at + 1].toInt(), 16, 64);

    auto* x11 = app.nativeInterface<QNativeInterface::QX11Application>();
    if (!x11) {
        QTextStream(stderr) << "tray_host: needs the xcb platform" << Qt::endl;
        return 2;
    }
    xcb_connection_t* c = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;

    // The strip: a frameless window the window manager leaves alone, in the
    // screen's top right corner, wide enough for a few icons.
    QWidget strip(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::BypassWindowManagerHint);
    strip.setWindowTitle(QStringLiteral("tray host"));
    strip.setStyleSheet(QStringLiteral("background: #3c4650;"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int width = 4 * (iconSize + 2) + 2;
    strip.setGeometry(screen.right() - width + 1, 0, width, iconSize + 4);
    strip.show();

    TTrayHost host(c, root, &strip, iconSize);
    if (!host.Claim()) {
        QTextStream(stderr) << "tray_host: another program owns the system tray" << Qt::endl;
        return 1;
    }
    app.installNativeEventFilter(&host);
    QTextStream(stdout) << "tray host ready" << Qt::endl;
    return app.exec();
}
