#pragma once
// Which application has the focus on an X11 desktop, without polling: the
// window manager names the active window in the root window's
// _NET_ACTIVE_WINDOW property, and each change of it comes as a property
// event on a connection of the watch's own; the active window's WM_CLASS
// names its application (instance and class). Works only where the program
// runs on X11 (the xcb platform) and the window manager keeps the property.

#include <QObject>
#include <QString>
#include <cstdint>

class QSocketNotifier;
struct xcb_connection_t;

namespace tavrik::platform {

class X11FocusWatch final : public QObject {
    Q_OBJECT
public:
    explicit X11FocusWatch(QObject* parent = nullptr);
    ~X11FocusWatch() override;
    X11FocusWatch(const X11FocusWatch&) = delete;
    X11FocusWatch& operator=(const X11FocusWatch&) = delete;

    // Connects to `display` (empty: $DISPLAY) and tells the application
    // focused now. False, with the reason on the log, where there is no X
    // display or the window manager does not name the active window.
    bool start(const QString& display = {});

signals:
    // The WM_CLASS of the window that got the focus; a window without one
    // (or no active window) gives two empty texts.
    void focused(const QString& applicationClass, const QString& instance);

private:
    void readEvents();
    void tellActiveWindow();
    std::uint32_t atom(const char* name) const;

    xcb_connection_t* connection_ = nullptr;
    std::uint32_t root_ = 0;
    std::uint32_t activeAtom_ = 0;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace tavrik::platform
