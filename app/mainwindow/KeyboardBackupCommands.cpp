#include "app/mainwindow/KeyboardBackupCommands.h"

#include "app/keyboardpanel/CompositeEditorOpener.h"
#include "device/Commands.h"
#include "platform/FileDialogs.h"
#include "platform/Ports.h"
#include "platform/Unicode.h"
#include "sync/KeyboardBackupTransfer.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"

#include <optional>
#include <string>

namespace tavrik::app {
namespace {

platform::FileDialogRequest backupDialogRequest(bool confirmOverwrite) {
    return platform::FileDialogRequest::forExtension(u"tkb", confirmOverwrite);
}

void tell(const std::u16string& text, platform::MessageIcon icon) {
    platform::prompter().showMessage(text, u"", icon);
}

bool keyboardAnswers() {
    return device::readActiveProfile() >= 0;
}

} // namespace

bool backUpKeyboard(const KeyboardWorkRunner& run) {
    if (!keyboardAnswers()) {
        tell(text::languageText("BACKUP_READ_FAILED"), platform::MessageIcon::Warning);
        return false;
    }
    const std::optional<std::string> path = platform::chooseSaveFile(backupDialogRequest(true));
    if (!path) {
        return false;
    }
    int error = 0;
    sync::BackupResult result = sync::BackupResult::KeyboardUnreadable;
    run([&] { result = sync::backupKeyboardTo(*path, &error); });
    const bool saved = result == sync::BackupResult::Saved;
    tell(sync::resultText(result, *path, error),
         saved ? platform::MessageIcon::Information : platform::MessageIcon::Warning);
    return saved;
}

bool restoreKeyboard(const CompositeEditorOpener& editor,
                     const std::function<void()>& keyboardChanged, const KeyboardWorkRunner& run) {
    if (!keyboardAnswers()) {
        tell(text::languageText("RESTORE_NO_KEYBOARD"), platform::MessageIcon::Warning);
        return false;
    }
    const std::optional<std::string> path = platform::chooseOpenFile(backupDialogRequest(false));
    if (!path) {
        return false;
    }
    profile::KeyboardBackup backup;
    const profile::BackupCheck check = profile::readKeyboardBackupFile(*path, backup);
    if (check != profile::BackupCheck::Valid) {
        tell(sync::resultText(check, *path), platform::MessageIcon::Warning);
        return false;
    }
    if (editor.openCount() > 0) {
        tell(text::languageText("RESTORE_CLOSE_EDITOR"), platform::MessageIcon::None);
        return false;
    }
    const std::u16string question =
        text::formatWithText(text::languageText("RESTORE_QUESTION"), platform::toUtf16(*path));
    if (!platform::prompter().askYesNo(question, false)) {
        return false;
    }
    sync::RestoreResult result = sync::RestoreResult::WriteFailed;
    run([&] { result = sync::restoreKeyboardBackup(backup); });
    const bool restored = result == sync::RestoreResult::Restored;
    if (restored || result == sync::RestoreResult::WriteFailed ||
        result == sync::RestoreResult::NotConfirmed) {
        keyboardChanged();
    }
    tell(sync::resultText(result, *path),
         restored ? platform::MessageIcon::Information : platform::MessageIcon::Warning);
    return restored;
}

} // namespace tavrik::app
