/* exported init */
// Tells Tavrik, over the session bus, which application has the focus each
// time the focused window changes; the program itself waits for the focus
// to rest. The program may not run: a call that finds no one is lost, and
// the next change tries again.
//
// The extension for GNOME Shell 43 and 44; tavrik-focus-gnome45@tavrik.org
// does the same for 45 and later, whose extensions are ES modules.

const {Gio, GLib, Shell} = imports.gi;

const BUS_NAME = 'org.tavrik.Tavrik';
const OBJECT_PATH = '/org/tavrik/Tavrik';
const INTERFACE = 'org.tavrik.Tavrik1';

// The window's WM_CLASS class on X11, its app id on Wayland (both come as
// the WM class); else the application the shell matched it with.
function applicationOf(window, tracker) {
    if (!window)
        return '';
    let id = window.get_wm_class() || '';
    if (!id && window.get_gtk_application_id)
        id = window.get_gtk_application_id() || '';
    if (!id && tracker) {
        const app = tracker.get_window_app(window);
        const appId = app ? app.get_id() : null;
        if (appId)
            id = appId.replace(/\.desktop$/, '');
    }
    return id;
}

class TavrikFocus {
    constructor() {
        this._handler = 0;
        this._tracker = null;
    }

    enable() {
        this._tracker = Shell.WindowTracker.get_default();
        this._handler = global.display.connect('notify::focus-window', () => this._tell());
        this._tell();
    }

    disable() {
        if (this._handler) {
            global.display.disconnect(this._handler);
            this._handler = 0;
        }
        this._tracker = null;
    }

    _tell() {
        const id = applicationOf(global.display.focus_window, this._tracker);
        if (!id)
            return;
        Gio.DBus.session.call(BUS_NAME, OBJECT_PATH, INTERFACE, 'SetFocusedApplication',
            new GLib.Variant('(s)', [id]), null, Gio.DBusCallFlags.NO_AUTO_START, -1, null,
            (connection, result) => {
                try {
                    connection.call_finish(result);
                } catch (e) {
                    // Tavrik does not run, or has no keyboard: nothing to tell.
                }
            });
    }
}

function init() {
    return new TavrikFocus();
}
