#pragma once
// The paths every part of the program uses, fixed once at start from the
// executable's own path and the user's documents folder. The program's own
// files (skins, help, the daemon) sit beside the executable; the per-user
// files live in the user data folder.

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrik::platform {

// Every path is held to 260 characters (UTF-16 units, as the file formats
// count them), cut there when longer.
inline constexpr std::size_t kMaxPathLength = 260;

struct PathSet {
    std::string ownFileName;         // base name of the executable
    std::string exeFolder;           // folder of the executable, with its trailing '/'
    std::string helpFolder;          // exeFolder + "Help/"
    std::string mainSkinFile;        // exeFolder + "Skins/Main.ini"
    std::string mainSkinFolder;      // its folder, with '/'
    std::string lightingFilePrefix;  // exeFolder + "Skins/UserDengColor_"
    std::string profileSkinFile;     // exeFolder + "Skins/Profile.ini"
    std::string profileSkinFolder;   // its folder, with '/'
    std::string compositeSkinFile;   // exeFolder + "Skins/Composite.ini"
    std::string compositeSkinFolder; // its folder, with '/'
    std::string daemonPath;          // exeFolder + "tavrik-daemon"
    std::string languageFile;        // exeFolder + "Skins/language.ini"
    std::string userDataFolder;      // documents folder + "/Tavrik_09A"; empty without one
    std::string userSettingsFile;    // userDataFolder + "/zovu.ini"; empty without one
};

// The companion program launched beside the executable.
inline constexpr std::string_view kDaemonFileName = "tavrik-daemon";
inline constexpr std::string_view kUserDataFolderName = "Tavrik_09A";

// The longest prefix of `path` of at most kMaxPathLength characters; a
// character is never split.
std::string cutPath(std::string_view path);

// Every path of the set, from the executable's full path and the documents
// folder (a trailing '/' on it is ignored).
PathSet buildPathSet(std::string_view executablePath, std::string_view documentsFolder);

// The running executable's full path (/proc/self/exe); empty when it cannot be
// read.
std::string findExecutablePath();

// The process-wide set. Start-up installs it before any thread starts; it is
// read-only afterwards. Reset empties it, for tests.
void installPathSet(PathSet paths);
const PathSet& pathSet();
void resetPathSet();

// Creates the user data folder, with its parents, when it is missing.
// Returns 0, or the errno that kept it from being made (ENOENT for no
// folder at all); the saves into the folder fail then and say why.
int ensureUserFolder();

} // namespace tavrik::platform
