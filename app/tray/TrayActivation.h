#pragma once
// Which click on the tray icon opens the main window. Qt passes clicks on as
// the notification area reports them, and the areas differ:
//  - A StatusNotifierItem host (the D-Bus tray of KDE, of GNOME's
//    AppIndicator extension and of most current panels) reports a click as
//    one activation and never a double click. Qt uses such a host on every
//    platform but X11, and on X11 whenever one is registered on the session
//    bus. There a single activation opens the window.
//  - The older X11 tray reports every press as an activation and the second
//    press of a double click as a double click. There the double click opens
//    the window, and a single click does nothing.
// A host that has sent a double click is of the second kind, whatever the
// start assumed.
//
// The right click: Qt shows the menu itself on the X11 tray. A
// StatusNotifierItem host draws the menu the icon exports, but some
// (swaybar) cannot, and ask for it through the right click's activation
// instead: there the program shows it. A Wayland popup opens only from a
// shown window of the program: while the window is hidden, the right click
// opens it, as the menu's default item would.

#include <string_view>

namespace tavrik::app {

class TrayActivation {
public:
    enum class Click { Single, Double };

    // `platformName` as QGuiApplication::platformName() gives it;
    // `statusNotifierHost` whether a StatusNotifierItem watcher was
    // registered on the session bus when the tray icon was made.
    TrayActivation(std::string_view platformName, bool statusNotifierHost);

    // Whether the click opens the window.
    bool opensWindow(Click click);
    // Whether the right click's activation is to show the menu.
    bool showsMenuOnRightClick() const { return singleActivationOpens_; }
    // Whether the menu can be shown only over a shown window.
    bool menuNeedsShownWindow() const { return menuNeedsShownWindow_; }

private:
    bool singleActivationOpens_;
    bool menuNeedsShownWindow_;
};

} // namespace tavrik::app
