#include "sync/ProfileFileStore.h"

#include "platform/AtomicFile.h"
#include "profile/ProfileFile.h"
#include "sync/DataSets.h"

#include <cerrno>
#include <new>
#include <vector>

namespace tavrik::sync {

bool writeProfileFile(const std::string& path, bool lock, int* error) {
    DataSetLock guard;
    if (lock) {
        guard = lockWorkingSet();
    }
    if (path.empty()) {
        if (error != nullptr) {
            *error = ENOENT;
        }
        return false;
    }
    try {
        const std::vector<std::uint8_t> image = profile::profileImageOf(workingSet());
        return platform::writeFileAtomically(path, {image}, error);
    } catch (const std::bad_alloc&) {
        if (error != nullptr) {
            *error = ENOMEM;
        }
        return false;
    }
}

bool loadProfileFile(const std::string& path) {
    const DataSetLock lock = lockWorkingSet();
    std::vector<std::uint8_t> image;
    if (profile::readProfileImage(path, image) != profile::validation::Acceptable) {
        profile::installDefaultProfile(workingSet(), 0);
        return false;
    }
    return profile::loadProfileImage(image, workingSet());
}

bool writeDefaultProfile(const std::string& path, std::uint8_t flag, bool intoWorkingSet) {
    if (intoWorkingSet) {
        const DataSetLock lock = lockWorkingSet();
        profile::installDefaultProfile(workingSet(), flag);
        return true;
    }
    return profile::writeDefaultProfileFile(path, flag);
}

} // namespace tavrik::sync
