#include "sync/ProfileTransfer.h"

#include "platform/FileDialogs.h"
#include "platform/Ports.h"
#include "platform/Unicode.h"
#include "profile/ProfileFile.h"
#include "sync/Apply.h"
#include "sync/DataSets.h"
#include "sync/ProfileFileStore.h"
#include "sync/WorkingFile.h"
#include "sync/WorkingFileWarning.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"

#include <utility>
#include <vector>

namespace tavrik::sync {

platform::FileDialogRequest exportDialogRequest() {
    return platform::FileDialogRequest::forExtension(u"fwc", true);
}

platform::FileDialogRequest importDialogRequest() {
    return platform::FileDialogRequest::forExtension(u"fwc", false);
}

bool exportProfile() {
    const std::optional<std::string> path = platform::chooseSaveFile(exportDialogRequest());
    if (!path) {
        return false;
    }
    int error = 0;
    if (!exportProfileTo(*path, &error)) {
        tellWorkingFileFailure("EXPORT_FAILED", *path, error);
        return false;
    }
    // As a backup does: the user learns where the file went.
    platform::prompter().showMessage(
        text::formatWithText(text::languageText("EXPORT_DONE"), platform::toUtf16(*path)), u"",
        platform::MessageIcon::Information);
    return true;
}

bool exportProfileTo(const std::string& path, int* error) {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    return writeProfileFile(path, false, error);
}

ImportOutcome importProfile() {
    const std::optional<std::string> path = platform::chooseOpenFile(importDialogRequest());
    return path ? importProfileAndTell(*path) : ImportOutcome{};
}

ImportOutcome importProfileAndTell(const std::string& path) {
    const ImportOutcome outcome = importProfileFrom(path);
    if (!outcome.accepted) {
        return outcome;
    }
    // Macros too large for the keyboard have said so already.
    if (!outcome.keyboardWritten && outcome.written != KeyMapWriteResult::MacrosTooLarge) {
        platform::prompter().showMessage(text::languageText("APPLY_KEYBOARD_FAILED"), u"",
                                         platform::MessageIcon::Warning);
    }
    if (!outcome.workingFileSaved) {
        tellWorkingFileFailure("APPLY_NOT_SAVED", workingFilePath(0), outcome.saveError);
    }
    return outcome;
}

ImportOutcome importProfileFrom(const std::string& path) {
    ImportOutcome outcome;
    // The file is read once: what was checked is what gets loaded, also when
    // the file is replaced or removed meanwhile. Nothing is touched until
    // the loaded set is complete.
    std::vector<std::uint8_t> image;
    WorkingSet imported;
    if (profile::readValidatedProfileImage(path, image) <= 0 ||
        !profile::loadProfileImage(image, imported)) {
        platform::prompter().showMessage(text::languageText("MAIN_PROMPT_INPORT"));
        return outcome;
    }
    platform::MainWindowPort& window = platform::mainWindow();
    {
        const DataSetLock lock = lockWorkingSet();
        workingSet() = std::move(imported);
        outcome.accepted = true;
        outcome.workingFileSaved = saveWorkingFile(false, &outcome.saveError);
        outcome.written = sync::writeApplySnapshot(true);
        outcome.keyboardWritten = outcome.written == KeyMapWriteResult::Written;
        if (outcome.keyboardWritten) {
            keyboardCopy() = workingSet();
        }
        window.refreshKeyButtons();
    }
    window.setApplyEnabled(!(outcome.workingFileSaved && outcome.keyboardWritten));
    return outcome;
}

} // namespace tavrik::sync
