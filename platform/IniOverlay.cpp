#include "platform/IniOverlay.h"

#include "platform/HomeFolder.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string_view>
#include <unistd.h>

namespace tavrik::platform {
namespace {

namespace fs = std::filesystem;

struct OverlayRecord {
    std::mutex mutex;
    IniOverlaySettings settings;
};

OverlayRecord& record() {
    static OverlayRecord overlay;
    return overlay;
}

IniOverlaySettings currentSettings() {
    OverlayRecord& overlay = record();
    std::lock_guard lock(overlay.mutex);
    return overlay.settings;
}

// An absolute path with no empty, "." or ".." component: what lexical
// normalisation leaves as it is.
bool isNormalAbsolute(std::string_view path) {
    if (path.size() < 2 || path.front() != '/') {
        return false;
    }
    for (std::size_t start = 1; start <= path.size();) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == "." || part == "..") {
            return false;
        }
        start = end + 1;
    }
    return true;
}

// `path` relative to the program folder; empty when it lies elsewhere.
fs::path relativeToProgramFolder(const std::string& path, std::string_view folder) {
    if (folder.size() > 1 && folder.back() == '/') {
        folder.remove_suffix(1); // "/opt/app/" names the folder "/opt/app"
    }
    // The paths the program builds itself are normal, and every read of a
    // skin value asks: plain string work answers those.
    if (isNormalAbsolute(path) && isNormalAbsolute(folder)) {
        const std::string_view candidate = path;
        if (!candidate.starts_with(folder) || candidate.size() <= folder.size() + 1 ||
            candidate[folder.size()] != '/') {
            return {};
        }
        return fs::path(candidate.substr(folder.size() + 1));
    }
    fs::path programFolder = fs::path(folder).lexically_normal();
    if (!programFolder.has_filename() && programFolder.has_relative_path()) {
        programFolder = programFolder.parent_path();
    }
    fs::path relative = fs::path(path).lexically_normal().lexically_relative(programFolder);
    if (relative.empty() || *relative.begin() == ".." || *relative.begin() == ".") {
        return {};
    }
    return relative;
}

// The overlay copy of `path`, when `path` lies below the program folder.
std::optional<std::string> overlayPathOf(const std::string& path,
                                         const IniOverlaySettings& settings) {
    if (settings.programFolder.empty() || settings.overlayRoot.empty()) {
        return std::nullopt;
    }
    const fs::path relative = relativeToProgramFolder(path, settings.programFolder);
    if (relative.empty()) {
        return std::nullopt;
    }
    return (fs::path(settings.overlayRoot) / relative).string();
}

bool isFile(const std::string& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool folderIsWritable(const IniOverlaySettings& settings, const std::string& folder) {
    if (settings.folderIsWritable) {
        return settings.folderIsWritable(folder);
    }
    return ::access(folder.c_str(), W_OK) == 0;
}

} // namespace

std::string defaultIniOverlayRoot() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const std::string base = dataHome != nullptr && dataHome[0] == '/'
                                 ? std::string(dataHome)
                                 : homeFolder() + "/.local/share";
    return base + "/Tavrik_Lumora";
}

void setIniOverlay(IniOverlaySettings settings) {
    OverlayRecord& overlay = record();
    std::lock_guard lock(overlay.mutex);
    overlay.settings = std::move(settings);
}

void resetIniOverlay() {
    setIniOverlay({});
}

std::string iniReadPath(const std::string& path) {
    const std::optional<std::string> overlay = overlayPathOf(path, currentSettings());
    return overlay && isFile(*overlay) ? *overlay : path;
}

IniWriteTarget iniWriteTarget(const std::string& path) {
    const IniOverlaySettings settings = currentSettings();
    const std::optional<std::string> overlay = overlayPathOf(path, settings);
    if (!overlay) {
        return {path, path, false};
    }
    if (isFile(*overlay)) {
        return {*overlay, *overlay, true};
    }
    const fs::path folder = fs::path(path).parent_path();
    if (folderIsWritable(settings, folder.empty() ? "." : folder.string())) {
        return {path, path, false};
    }
    // The first write starts the copy from the program's own file, so the
    // copy hides nothing that file holds.
    return {path, *overlay, true};
}

} // namespace tavrik::platform
