#pragma once
// A hook on a window's events that others can chain onto: several hooks may
// sit on one window (a QWidget or a QWindow), the latest first. Each hook sees
// an event before the window does and either handles it or passes it down the
// chain; what the last hook passes reaches the window. A hook leaves the
// chain when it is destroyed, and every hook leaves when the window is
// destroyed. Used on the user-interface thread only.

class QEvent;
class QObject;

namespace tavrik::app {

class CSubclassWnd {
public:
    CSubclassWnd() = default;
    virtual ~CSubclassWnd();
    CSubclassWnd(const CSubclassWnd&) = delete;
    CSubclassWnd& operator=(const CSubclassWnd&) = delete;

    // Puts this hook at the front of the window's chain (after leaving any
    // window it was on). Returns false without a window.
    bool hookWindow(QObject* window);
    // Leaves the chain; nothing when not hooked.
    void unhook();

    QObject* hookedWindow() const { return window_; }
    bool isHooked() const { return window_ != nullptr; }

protected:
    // Returns true when the event is handled and goes no further. The default
    // passes it to the next hook, or, at the end of the chain, to the window.
    virtual bool windowProc(QObject* window, QEvent* event);

private:
    friend class CSubclassWndMap;

    QObject* window_ = nullptr;
    CSubclassWnd* next_ = nullptr;
};

} // namespace tavrik::app
