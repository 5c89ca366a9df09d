#include "app/mainwindow/MainWindowBusActions.h"

#include "app/keyboardpanel/CompositeEditorOpener.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/mainwindow/CTavrikDlg.h"
#include "app/mainwindow/MainWindowFocusFollowing.h"
#include "app/profiles/CTavrik_DlgProfile.h"
#include "app/sessionbus/CollectedMessages.h"
#include "device/Commands.h"
#include "device/DeviceState.h"
#include "platform/AtomicFile.h"
#include "platform/Unicode.h"
#include "profile/KeyboardBackup.h"
#include "sync/KeyboardBackupTransfer.h"
#include "sync/ProfileTransfer.h"
#include "sync/WorkingFile.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"

namespace tavrik::app {
namespace {

QString textOf(std::string_view key) {
    return QString::fromStdU16String(text::languageText(key));
}

BusResult failure(const char* errorName, const QString& message) {
    return {QString::fromLatin1(errorName), message};
}

BusResult failed(const QString& message) {
    return failure(buserror::Failed, message);
}

// What the program would have shown, or `fallback` where it said nothing.
QString saidOr(const CollectedMessages& said, const QString& fallback) {
    return said.text().isEmpty() ? fallback : said.text();
}

} // namespace

unsigned MainWindowBusActions::activeProfile() const {
    const int active = device::cachedActiveProfile();
    return active >= 0 && active < 3 ? static_cast<unsigned>(active + 1) : 0;
}

bool MainWindowBusActions::isConnected() const {
    return device::reportedDeviceCount() > 0;
}

bool MainWindowBusActions::waitsForWork(std::function<void()> again) {
    if (!window_.isKeyboardWorkRunning()) {
        return false;
    }
    window_.runAfterKeyboardWork(std::move(again));
    return true;
}

std::optional<BusResult> MainWindowBusActions::refusalOfChange(const char* editorText) const {
    if (!isConnected()) {
        return failure(buserror::NoKeyboard, textOf("BUS_NO_KEYBOARD"));
    }
    if (window_.keyboardPanel().compositeEditorOpener().openCount() > 0) {
        return failure(buserror::EditorOpen, textOf(editorText));
    }
    if (window_.isApplyEnabled() || CTavrik_DlgProfile::isModified()) {
        return failure(buserror::UnappliedChanges, textOf("BUS_UNAPPLIED"));
    }
    return std::nullopt;
}

void MainWindowBusActions::setActiveProfile(unsigned profile, const BusReply& reply) {
    if (waitsForWork([=, this] { setActiveProfile(profile, reply); })) {
        return;
    }
    if (const auto refused = refusalOfChange("PROFILE_SEELCT_PROMPT2")) {
        reply(*refused);
        return;
    }
    const int index = static_cast<int>(profile) - 1;
    const CollectedMessages said;
    window_.chooseProfile(index);
    if (device::cachedActiveProfile() != index) {
        reply(failed(saidOr(said, QString::fromStdU16String(text::formatWithInteger(
                                      text::languageText("BUS_PROFILE_REFUSED"), profile)))));
        return;
    }
    reply(BusResult::done());
}

void MainWindowBusActions::show(const BusReply& reply) {
    if (!isConnected()) {
        reply(failure(buserror::NoKeyboard, textOf("BUS_NO_KEYBOARD")));
        return;
    }
    window_.showMainWindow();
    reply(BusResult::done());
}

void MainWindowBusActions::importProfile(const QString& path, const BusReply& reply) {
    if (waitsForWork([=, this] { importProfile(path, reply); })) {
        return;
    }
    if (const auto refused = refusalOfChange("PROFILE_SEELCT_PROMPT2")) {
        reply(*refused);
        return;
    }
    const CollectedMessages said;
    sync::ImportOutcome outcome;
    window_.runKeyboardWork([&] { outcome = sync::importProfileFrom(path.toStdString()); });
    if (!outcome.accepted) {
        reply(failed(saidOr(said, textOf("MAIN_PROMPT_INPORT"))));
        return;
    }
    if (!outcome.keyboardWritten) {
        reply(failed(outcome.written == sync::KeyMapWriteResult::MacrosTooLarge
                         ? saidOr(said, textOf("EXTRA_MACRO_TOO_LONG"))
                         : textOf("APPLY_KEYBOARD_FAILED")));
        return;
    }
    if (!outcome.workingFileSaved) {
        reply(failed(QString::fromStdU16String(
            text::formatWithText(text::languageText("APPLY_NOT_SAVED"),
                                 platform::toUtf16(platform::describeSaveFailure(
                                     sync::workingFilePath(0), outcome.saveError))))));
        return;
    }
    reply(BusResult::done());
}

void MainWindowBusActions::exportProfile(const QString& path, const BusReply& reply) {
    if (waitsForWork([=, this] { exportProfile(path, reply); })) {
        return;
    }
    int error = 0;
    if (!sync::exportProfileTo(path.toStdString(), &error)) {
        reply(failed(QString::fromStdU16String(text::formatWithText(
            text::languageText("EXPORT_FAILED"),
            platform::toUtf16(platform::describeSaveFailure(path.toStdString(), error))))));
        return;
    }
    reply(BusResult::done());
}

void MainWindowBusActions::backUp(const QString& path, const BusReply& reply) {
    if (waitsForWork([=, this] { backUp(path, reply); })) {
        return;
    }
    if (!isConnected()) {
        reply(failure(buserror::NoKeyboard, textOf("BUS_NO_KEYBOARD")));
        return;
    }
    int error = 0;
    const std::string file = path.toStdString();
    sync::BackupResult result = sync::BackupResult::KeyboardUnreadable;
    window_.runKeyboardWork([&] { result = sync::backupKeyboardTo(file, &error); });
    if (result != sync::BackupResult::Saved) {
        reply(failed(QString::fromStdU16String(sync::resultText(result, file, error))));
        return;
    }
    reply(BusResult::done());
}

void MainWindowBusActions::restore(const QString& path, const BusReply& reply) {
    if (waitsForWork([=, this] { restore(path, reply); })) {
        return;
    }
    const std::string file = path.toStdString();
    profile::KeyboardBackup backup;
    const profile::BackupCheck check = profile::readKeyboardBackupFile(file, backup);
    if (check != profile::BackupCheck::Valid) {
        reply(failed(QString::fromStdU16String(sync::resultText(check, file))));
        return;
    }
    if (const auto refused = refusalOfChange("RESTORE_CLOSE_EDITOR")) {
        reply(*refused);
        return;
    }
    sync::RestoreResult result = sync::RestoreResult::WriteFailed;
    window_.runKeyboardWork([&] { result = sync::restoreKeyboardBackup(backup); });
    if (result == sync::RestoreResult::Restored || result == sync::RestoreResult::WriteFailed ||
        result == sync::RestoreResult::NotConfirmed) {
        window_.reloadProfileFromKeyboard(sync::ReloadMode::ReplaceEdits);
    }
    if (result != sync::RestoreResult::Restored) {
        reply(failed(QString::fromStdU16String(sync::resultText(result, file))));
        return;
    }
    reply(BusResult::done());
}

const ApplicationRules& MainWindowBusActions::applicationRules() const {
    return window_.focusFollowing().rules();
}

std::optional<RuleChoice> MainWindowBusActions::applicationRuleInForce() const {
    return window_.focusFollowing().follower().inForce();
}

bool MainWindowBusActions::changeApplicationRules(const ApplicationRules& rules) {
    return window_.focusFollowing().changeRules(rules);
}

void MainWindowBusActions::focusChanged(const FocusedApplication& application) {
    window_.focusFollowing().focusChanged(application);
}

} // namespace tavrik::app
