#include "sync/WorkingFile.h"

#include "platform/PathSet.h"
#include "profile/ProfileFile.h"
#include "sync/DataSets.h"
#include "sync/ProfileFileStore.h"

#include <cerrno>
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

bool saveWorkingFile(bool /*lock*/, int* error) {
    // The lock is recursive: taken again when the caller holds it already.
    const DataSetLock lock = lockWorkingSet();
    const std::string path = workingFilePath(0);
    struct stat status {};
    if (path.empty() || (::stat(path.c_str(), &status) != 0 && !keyboardCopy().has_value())) {
        if (error != nullptr) {
            *error = workingFileError(ENOENT);
        }
        return false;
    }
    const bool saved = writeProfileFile(path, false, error);
    if (!saved && error != nullptr) {
        *error = workingFileError(*error);
    }
    return saved;
}

int workingFileError(int saveError) {
    if (saveError == ENOENT) {
        const int folderError = platform::ensureUserFolder();
        if (folderError != 0) {
            return folderError;
        }
    }
    return saveError;
}

} // namespace tavrik::sync
