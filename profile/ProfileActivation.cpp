#include "profile/ProfileActivation.h"

#include "app/PathSet.h"
#include "device/Commands.h"
#include "device/DataSets.h"
#include "platform/Ports.h"
#include "profile/KeyboardReader.h"
#include "profile/ProfileFile.h"
#include "profile/WorkingFile.h"

namespace tavrik::profile {

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
    app::ensureUserFolder();
    const std::string path = workingFilePath(0);
    const bool read = device::readActiveProfile() >= 0 && readKeyboardToWorkingFile(path);

    platform::MainWindowPort& window = platform::mainWindow();
    bool loaded = false;
    {
        const device::DataSetLock lock = device::lockWorkingSet();
        device::releaseWorkingSetContents(device::workingSet());
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

} // namespace tavrik::profile
