#pragma once
// "Start with the desktop": the autostart entry of the freedesktop.org
// autostart rules, $XDG_CONFIG_HOME/autostart/tavrik.desktop
// (~/.config/autostart/... when XDG_CONFIG_HOME is unset or not absolute),
// which the desktop runs at log-in. It starts the program with "/Start", so
// that it waits hidden in the tray.
//
// The entry names the program by its full path, with TryExec on the same
// path: it starts the program that wrote it, also one that is not on PATH
// (an installation under /opt, a build tree), and a desktop passes over the
// entry once that program is gone.

#include <string>

namespace tavrik::app {

class AutostartEntry {
public:
    // The entry at `entryPath` that starts `programPath`.
    AutostartEntry(std::string entryPath, std::string programPath);

    // The entry of the running program, by the path set's executable.
    static AutostartEntry ofThisProgram();
    // Where the desktop looks for it; empty when no home is known.
    static std::string defaultEntryPath();

    // The file is there and not switched off (Hidden=true, or
    // X-GNOME-Autostart-enabled=false, as session settings switch one off).
    bool isEnabled() const;
    // Writes the entry atomically, creating its folder, or removes it.
    // Returns whether the entry is now as asked.
    bool setEnabled(bool enabled) const;

    // The text of the entry.
    std::string contents() const;

    const std::string& entryPath() const { return entryPath_; }

private:
    std::string entryPath_;
    std::string programPath_;
};

// A desktop entry's string value: backslash, line feed, tab and carriage
// return escaped.
std::string desktopStringValue(const std::string& text);
// The program path as one argument of a desktop entry's Exec key: quoted
// where the path holds a character that needs it, '%' doubled, then written
// as a string value.
std::string desktopExecArgument(const std::string& path);

} // namespace tavrik::app
