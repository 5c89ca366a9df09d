#include "sync/Apply.h"

#include "keyboard/ProfileFileHeader.h"
#include "keyboard/StringPool.h"
#include "platform/Ports.h"
#include "sync/BusyIndicatorWorker.h"
#include "sync/DataSets.h"
#include "sync/WorkingFile.h"
#include "sync/WorkingFileWarning.h"
#include "text/LanguageTexts.h"

#include <new>
#include <optional>

namespace tavrik::sync {
namespace {

void copyIntoSnapshot(const WorkingSet& working, ApplySnapshot& snapshot) {
    snapshot.table = working.table;
    keyboard::fillProfileFileHeader(
        snapshot.table.header().first<keyboard::kProfileFileHeaderSize>(),
        static_cast<std::uint16_t>(working.macros.size()), working.strings.total(), 0);
    snapshot.macros = working.macros;
    snapshot.stringBlob.assign(working.strings.total(), 0);
    keyboard::packStringPool(snapshot.table, working.strings, snapshot.stringBlob);
    snapshot.stringTotal = working.strings.total();
}

// How an Apply of pending changes went.
struct PendingApply {
    bool keyboardRead = true;
    KeyMapWriteResult written = KeyMapWriteResult::Failed;
    bool saved = false;
    int saveError = 0;

    bool succeeded() const { return saved && written == KeyMapWriteResult::Written; }
};

PendingApply applyPending() {
    PendingApply outcome;
    const DataSetLock lock = lockWorkingSet();
    if (!keyboardCopy()) {
        outcome.keyboardRead = false;
        return outcome;
    }
    outcome.saved = saveWorkingFile(false, &outcome.saveError);
    outcome.written = writeApplySnapshot(false);
    if (outcome.written == KeyMapWriteResult::Written) {
        keyboardCopy() = workingSet();
    }
    return outcome;
}

void warn(const std::u16string& text) {
    platform::prompter().showMessage(text, u"", platform::MessageIcon::Warning);
}

void tellFailures(const PendingApply& outcome) {
    if (!outcome.keyboardRead) {
        warn(text::languageText("APPLY_NOT_READ"));
        return;
    }
    // Macros too large for the keyboard have said so already.
    if (outcome.written != KeyMapWriteResult::Written &&
        outcome.written != KeyMapWriteResult::MacrosTooLarge) {
        warn(text::languageText("APPLY_KEYBOARD_FAILED"));
    }
    isFirstWorkingFileFailure(outcome.saved);
    if (!outcome.saved) {
        tellWorkingFileFailure("APPLY_NOT_SAVED", workingFilePath(0), outcome.saveError);
    }
}

} // namespace

KeyMapWriteResult writeApplySnapshot(bool allProfiles) {
    const DataSetLock workingLock = lockWorkingSet();
    const DataSetLock snapshotLock = lockApplySnapshot();
    ApplySnapshot& snapshot = applySnapshot();
    releaseApplySnapshot(snapshot);
    try {
        copyIntoSnapshot(workingSet(), snapshot);
    } catch (const std::bad_alloc&) {
        releaseApplySnapshot(snapshot);
        return KeyMapWriteResult::Failed;
    }
    return sync::writeKeyMap(allProfiles);
}

int buildApplySnapshot(bool allProfiles) {
    return writeApplySnapshot(allProfiles) == KeyMapWriteResult::Written ? 1 : 0;
}

bool applyChanges() {
    platform::MainWindowPort& window = platform::mainWindow();
    std::optional<PendingApply> outcome;
    runWithBusyIndicator([&] {
        if (window.isApplyEnabled()) {
            outcome = applyPending();
            if (outcome->succeeded()) {
                isFirstWorkingFileFailure(true);
                window.setApplyEnabled(false);
            }
        }
    });
    if (outcome && !outcome->succeeded()) {
        tellFailures(*outcome);
    }
    return !outcome || outcome->succeeded();
}

} // namespace tavrik::sync
