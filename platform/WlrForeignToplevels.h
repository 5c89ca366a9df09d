#pragma once
// Which application has the focus on a wlroots compositor (sway, Hyprland,
// labwc), without polling: the compositor lists every toplevel window with
// its app id and states through the foreign toplevel protocol, on a
// Wayland connection of the watch's own (Qt's may be X11, or none), and
// tells each change, which ends with a done event. Works where the
// compositor offers zwlr_foreign_toplevel_manager_v1; others keep it to
// themselves.

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QSocketNotifier;
struct wl_display;
struct wl_registry;
struct zwlr_foreign_toplevel_manager_v1;

namespace tavrik::platform {

class WlrForeignToplevels final : public QObject {
    Q_OBJECT
public:
    explicit WlrForeignToplevels(QObject* parent = nullptr);
    ~WlrForeignToplevels() override;
    WlrForeignToplevels(const WlrForeignToplevels&) = delete;
    WlrForeignToplevels& operator=(const WlrForeignToplevels&) = delete;

    // Connects to `display` (empty: $WAYLAND_DISPLAY; a name or a socket's
    // full path) and tells the application focused now. False, with the
    // reason on the log, where there is no Wayland display or the
    // compositor does not offer the protocol.
    bool start(const QString& display = {});

signals:
    // A toplevel became the active one (or the active one changed its app
    // id); a window without an app id gives an empty text.
    void activated(const QString& appId);

private:
    // One opened toplevel: the app id and whether it is the active one, as
    // of its last done event, and what has come since.
    struct Toplevel;
    friend struct ToplevelEvents;
    void readEvents();
    void disconnectDisplay();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    zwlr_foreign_toplevel_manager_v1* manager_ = nullptr;
    std::vector<std::unique_ptr<Toplevel>> toplevels_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace tavrik::platform
