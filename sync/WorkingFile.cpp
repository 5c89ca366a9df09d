#include "sync/WorkingFile.h"

#include "platform/PathSet.h"
#include "profile/ProfileFile.h"
#include "sync/ProfileFileStore.h"

#include <sys/stat.h>

namespace tavrik::sync {
namespace {

constexpr const char* kWorkingFileName = "/$Profile0";

} // namespace

std::string workingFilePath(int /*profileIndex*/) {
    platform::ensureUserFolder();
    const std::string& folder = platform::pathSet().userDataFolder;
    if (folder.empty()) {
        return {};
    }
    return folder + kWorkingFileName;
}

bool saveWorkingFile(bool lock) {
    const std::string path = workingFilePath(0);
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        return false;
    }
    return writeProfileFile(path, lock);
}

} // namespace tavrik::sync
