#include "platform/FileDialogs.h"

#include "platform/PathSet.h"
#include "platform/Ports.h"

#include <mutex>
#include <utility>

namespace tavrik::platform {
namespace {

struct LastFolder {
    std::mutex mutex;
    std::string folder;
};

LastFolder& lastFolder() {
    static LastFolder last;
    return last;
}

// The folder part of a chosen path; a bare name has none.
std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return {};
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::optional<std::string> noted(std::optional<std::string> chosen) {
    if (chosen) {
        if (std::string folder = folderOf(*chosen); !folder.empty()) {
            LastFolder& last = lastFolder();
            const std::lock_guard lock(last.mutex);
            last.folder = std::move(folder);
        }
    }
    return chosen;
}

FileDialogRequest withFolder(FileDialogRequest request) {
    if (request.startFolder.empty()) {
        request.startFolder = fileDialogFolder();
    }
    return request;
}

} // namespace

std::optional<std::string> chooseOpenFile(FileDialogRequest request) {
    return noted(prompter().chooseOpenFile(withFolder(std::move(request))));
}

std::optional<std::string> chooseSaveFile(FileDialogRequest request) {
    return noted(prompter().chooseSaveFile(withFolder(std::move(request))));
}

std::string fileDialogFolder() {
    {
        LastFolder& last = lastFolder();
        const std::lock_guard lock(last.mutex);
        if (!last.folder.empty()) {
            return last.folder;
        }
    }
    ensureUserFolder();
    return pathSet().userDataFolder;
}

void resetFileDialogFolder() {
    LastFolder& last = lastFolder();
    const std::lock_guard lock(last.mutex);
    last.folder.clear();
}

} // namespace tavrik::platform
