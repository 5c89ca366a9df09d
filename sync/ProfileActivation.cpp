#include "sync/ProfileActivation.h"

#include "device/Commands.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "profile/ProfileFile.h"
#include "sync/DataSets.h"
#include "sync/KeyboardReader.h"
#include "sync/ProfileFileStore.h"
#include "sync/WorkingFile.h"

namespace tavrik::sync {

bool setActiveProfile(int index) {
    if (index < 0 || index >= kProfileCount) {
        return false;
    }
    std::uint8_t info[device::kDeviceInfoSize] = {};
    if (device::readDeviceInfo(info) != device::result::Success) {
        return false;
    }
    info[device::kDeviceInfoActiveProfile] = static_cast<std::uint8_t>(index);
    const bool written = device::writeDeviceInfo(info) == device::result::Success;
    device::setCachedActiveProfile(written ? index : -1);
    return written;
}

bool reloadFromKeyboard() {
    platform::ensureUserFolder();
    const std::string path = workingFilePath(0);
    const bool read = device::readActiveProfile() >= 0 && readKeyboardToWorkingFile(path);

    platform::MainWindowPort& window = platform::mainWindow();
    bool loaded = false;
    {
        const sync::DataSetLock lock = sync::lockWorkingSet();
        sync::releaseWorkingSetContents(sync::workingSet());
        if (read) {
            loaded = loadProfileFile(path);
        } else {
            writeDefaultProfile(path, 0, true);
        }
        window.refreshKeyButtons();
    }
    window.setApplyEnabled(false);
    return loaded;
}

bool restoreFromWorkingFile() {
    const DataSetLock lock = lockWorkingSet();
    releaseWorkingSetContents(workingSet());
    return loadProfileFile(workingFilePath(0));
}

} // namespace tavrik::sync
