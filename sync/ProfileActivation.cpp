#include "sync/ProfileActivation.h"

#include "device/Commands.h"
#include "device/DeviceState.h"
#include "device/Transaction.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "profile/ProfileFile.h"
#include "sync/DataSets.h"
#include "sync/KeyboardReader.h"
#include "sync/ProfileFileStore.h"
#include "sync/WorkingFile.h"
#include "sync/WorkingFileWarning.h"
#include "text/LanguageTexts.h"

#include <optional>
#include <vector>

namespace tavrik::sync {
namespace {

// A read that fails because the keyboard was pulled meanwhile is no news:
// its removal is handled on its own.
void tellReadFailed() {
    if (device::queryDeviceCount() > 0) {
        platform::prompter().showMessage(text::languageText("KEYBOARD_READ_FAILED"), u"",
                                         platform::MessageIcon::Warning);
    }
}

// Installs what was read; true when it replaced the working set.
bool install(const std::vector<std::uint8_t>& image, ReloadMode mode) {
    platform::MainWindowPort& window = platform::mainWindow();
    WorkingSet read;
    profile::loadProfileImage(image, read);
    const DataSetLock lock = lockWorkingSet();
    // Edits made before the keyboard was ever read were made on defaults it
    // never gave: they go, or their Apply would write those defaults.
    const bool replace =
        mode == ReloadMode::ReplaceEdits || !window.isApplyEnabled() || !keyboardCopy();
    if (replace) {
        workingSet() = read;
    }
    keyboardCopy() = std::move(read);
    window.refreshKeyButtons();
    return replace;
}

} // namespace

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

bool reloadFromKeyboard(ReloadMode mode) {
    platform::ensureUserFolder();
    const std::optional<std::vector<std::uint8_t>> image = readKeyboardImage();
    if (!image) {
        tellReadFailed();
        return false;
    }
    if (install(*image, mode)) {
        platform::mainWindow().setApplyEnabled(false);
    }
    const std::string path = workingFilePath(0);
    int error = 0;
    if (isFirstWorkingFileFailure(storeKeyboardImage(path, *image, &error))) {
        tellWorkingFileFailure("WORKING_COPY_NOT_SAVED", path, workingFileError(error));
    }
    return true;
}

bool discardChanges() {
    const DataSetLock lock = lockWorkingSet();
    if (keyboardCopy()) {
        workingSet() = *keyboardCopy();
        return true;
    }
    releaseWorkingSetContents(workingSet());
    return loadProfileFile(workingFilePath(0));
}

} // namespace tavrik::sync
