#include "platform/PathSet.h"

#include <cerrno>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace tavrik::platform {
namespace {

PathSet& record() {
    static PathSet paths;
    return paths;
}

bool isContinuationByte(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// UTF-16 units of the character a UTF-8 lead byte starts: two for the
// four-byte sequences outside the basic plane, one for the others. A byte
// that is no valid lead counts as one character of its own.
std::size_t unitsOfLead(unsigned char lead) {
    return (lead & 0xF8) == 0xF0 ? 2 : 1;
}

// Up to and including the last '/'; empty when there is none.
std::string folderOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string withoutTrailingSlashes(std::string_view folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.remove_suffix(1);
    }
    return std::string(folder);
}

} // namespace

std::string cutPath(std::string_view path) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < path.size(); ++at) {
        const auto byte = static_cast<unsigned char>(path[at]);
        if (isContinuationByte(byte)) {
            continue;
        }
        units += unitsOfLead(byte);
        if (units > kMaxPathLength) {
            return std::string(path.substr(0, at));
        }
    }
    return std::string(path);
}

PathSet buildPathSet(std::string_view executablePath, std::string_view documentsFolder) {
    const std::string executable = cutPath(executablePath);
    PathSet paths;
    paths.exeFolder = folderOf(executable);
    paths.ownFileName = executable.substr(paths.exeFolder.size());
    const auto inExeFolder = [&](std::string_view name) {
        return cutPath(paths.exeFolder + std::string(name));
    };
    paths.helpFolder = inExeFolder("Help/");
    paths.mainSkinFile = inExeFolder("Skins/Main.ini");
    paths.mainSkinFolder = folderOf(paths.mainSkinFile);
    paths.lightingFilePrefix = inExeFolder("Skins/UserDengColor_");
    paths.profileSkinFile = inExeFolder("Skins/Profile.ini");
    paths.profileSkinFolder = folderOf(paths.profileSkinFile);
    paths.compositeSkinFile = inExeFolder("Skins/Composite.ini");
    paths.compositeSkinFolder = folderOf(paths.compositeSkinFile);
    paths.daemonPath = inExeFolder(kDaemonFileName);
    paths.languageFile = inExeFolder("Skins/language.ini");
    // Without a documents folder the user files would land in the root
    // folder; they are left empty instead, so their saves fail.
    if (!documentsFolder.empty()) {
        paths.userDataFolder = cutPath(withoutTrailingSlashes(documentsFolder) + "/" +
                                       std::string(kUserDataFolderName));
        paths.userSettingsFile = cutPath(paths.userDataFolder + "/zovu.ini");
    }
    return paths;
}

std::string findExecutablePath() {
    std::vector<char> buffer(4096);
    while (buffer.size() <= 1024 * 1024) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

void installPathSet(PathSet paths) {
    record() = std::move(paths);
}

const PathSet& pathSet() {
    return record();
}

void resetPathSet() {
    record() = PathSet{};
}

int ensureUserFolder() {
    const std::string& folder = pathSet().userDataFolder;
    if (folder.empty()) {
        return ENOENT;
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return error.value();
}

} // namespace tavrik::platform
