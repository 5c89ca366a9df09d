// Tells Tavrik, over the session bus, which application has the focus each
// time the active window changes; the program itself waits for the focus to
// rest. The program may not run: a call that finds no one is simply lost,
// and the next change tries again.

var service = "org.tavrik.Tavrik";
var path = "/org/tavrik/Tavrik";
var iface = "org.tavrik.Tavrik1";

// A native Wayland window names its application by its desktop file; an X11
// window by its WM_CLASS class.
function applicationOf(window) {
    if (!window) {
        return "";
    }
    var id = window.desktopFileName ? String(window.desktopFileName) : "";
    if (id === "" && window.resourceClass) {
        id = String(window.resourceClass);
    }
    if (id === "" && window.resourceName) {
        id = String(window.resourceName);
    }
    return id;
}

function tell(window) {
    var id = applicationOf(window);
    // The desktop's own panels and the task switcher take the focus for a
    // moment; they are no application to follow.
    if (window && (window.specialWindow || window.desktopWindow || window.dock)) {
        return;
    }
    if (id === "") {
        return;
    }
    callDBus(service, path, iface, "SetFocusedApplication", id);
}

// Plasma 6 names the signal windowActivated, Plasma 5 clientActivated.
if (workspace.windowActivated) {
    workspace.windowActivated.connect(tell);
    tell(workspace.activeWindow);
} else if (workspace.clientActivated) {
    workspace.clientActivated.connect(tell);
    tell(workspace.activeClient);
}
