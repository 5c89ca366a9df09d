#include "profile/ProfileTransfer.h"

#include "device/Apply.h"
#include "device/DataSets.h"
#include "platform/Ports.h"
#include "profile/ProfileFile.h"
#include "profile/WorkingFile.h"
#include "ui/LanguageTexts.h"

#include <utility>
#include <vector>

namespace tavrik::profile {
namespace {

platform::FileDialogRequest profileDialogRequest(bool confirmOverwrite) {
    platform::FileDialogRequest request;
    request.defaultExtension = u"fwc";
    request.initialName = u"*.fwc";
    request.filter = u"(*.fwc)|*.fwc|(*.*)|*.*||";
    request.confirmOverwrite = confirmOverwrite;
    return request;
}

} // namespace

platform::FileDialogRequest exportDialogRequest() {
    return profileDialogRequest(true);
}

platform::FileDialogRequest importDialogRequest() {
    return profileDialogRequest(false);
}

bool exportProfile() {
    const std::optional<std::string> path =
        platform::prompter().chooseSaveFile(exportDialogRequest());
    return path && exportProfileTo(*path);
}

bool exportProfileTo(const std::string& path) {
    const device::DataSetLock lock = device::lockWorkingSet();
    return writeProfileFile(path, false);
}

ImportOutcome importProfile() {
    const std::optional<std::string> path =
        platform::prompter().chooseOpenFile(importDialogRequest());
    return path ? importProfileFrom(*path) : ImportOutcome{};
}

ImportOutcome importProfileFrom(const std::string& path) {
    ImportOutcome outcome;
    // The file is read once: what was checked is what gets loaded, also when
    // the file is replaced or removed meanwhile. Nothing is touched until
    // the loaded set is complete.
    std::vector<std::uint8_t> image;
    device::WorkingSet imported;
    if (readValidatedProfileImage(path, image) <= 0 || !loadProfileImage(image, imported)) {
        platform::prompter().showMessage(ui::languageText("MAIN_PROMPT_INPORT"));
        return outcome;
    }
    platform::MainWindowPort& window = platform::mainWindow();
    {
        const device::DataSetLock lock = device::lockWorkingSet();
        device::workingSet() = std::move(imported);
        outcome.accepted = true;
        outcome.workingFileSaved = saveWorkingFile(false);
        outcome.keyboardWritten = device::buildApplySnapshot(true) == 1;
        window.refreshKeyButtons();
    }
    window.setApplyEnabled(!(outcome.workingFileSaved && outcome.keyboardWritten));
    return outcome;
}

} // namespace tavrik::profile
