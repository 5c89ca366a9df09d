#pragma once
// Where INI files of the program's own folder are read and written when that
// folder is not writable: like a protected folder on the desktop it came
// from, a write then goes to a per-user copy at the same relative path under
// the overlay root, and reads look there first from then on.

#include <functional>
#include <string>

namespace tavrik::platform {

// Whether files can be created in a folder.
using WritableFolderCheck = std::function<bool(const std::string& folder)>;

struct IniOverlaySettings {
    // The program's own folder; files below it may be overlaid. Empty turns
    // the overlay off.
    std::string programFolder;
    // Where the per-user copies live (see defaultIniOverlayRoot).
    std::string overlayRoot;
    // Whether files can be created in a folder. Empty means the real check,
    // access(2) with W_OK; tests supply their own, since root may write
    // everywhere.
    WritableFolderCheck folderIsWritable;
};

// $XDG_DATA_HOME/Tavrik_Lumora, or ~/.local/share/Tavrik_Lumora when
// XDG_DATA_HOME is unset or not absolute.
std::string defaultIniOverlayRoot();

// The process-wide settings, set by start-up. Reset turns the overlay off.
void setIniOverlay(IniOverlaySettings settings);
void resetIniOverlay();

// The file that a read of `path` opens: its overlay copy where one exists,
// else `path` itself.
std::string iniReadPath(const std::string& path);

struct IniWriteTarget {
    std::string source;      // the file whose current text the change starts from
    std::string destination; // the file written
    bool inOverlay = false;  // whether the destination's folders may need creating
};

// Where a write to `path` reads its current text and where it goes.
IniWriteTarget iniWriteTarget(const std::string& path);

} // namespace tavrik::platform
