#include "app/about/AboutBox.h"
#include "app/appprofiles/ApplicationProfilesDialog.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/lightingpanel/LightingPanel.h"
#include "app/mainwindow/CTavrikDlg.h"
#include "app/mainwindow/KeyboardBackupCommands.h"
#include "app/mainwindow/MainWindowFocusFollowing.h"
#include "app/profiles/CTavrik_DlgProfile.h"
#include "app/profiles/FlipButtons.h"
#include "app/profiles/ProfileButtons.h"
#include "app/profiles/ProfileSwitching.h"
#include "app/shared/MainWindowIds.h"
#include "app/shared/OpenHelp.h"
#include "app/tray/CTrayIcon.h"
#include "device/Commands.h"
#include "platform/FileDialogs.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "platform/ShellOpen.h"
#include "platform/WindowMessage.h"
#include "sync/Apply.h"
#include "sync/ProfileTransfer.h"
#include "text/LanguageTexts.h"
#include "ui/LanguageMenu.h"

#include <QCursor>

namespace tavrik::app {

// The commands of the window's buttons and menus.

void CTavrikDlg::handleCommand(int commandId) {
    if (!handleWindowCommand(commandId)) {
        handlePanelCommand(commandId);
    }
}

bool CTavrikDlg::handleWindowCommand(int commandId) {
    switch (commandId) {
    case command::Ok:
        applyChanges();
        hideWindow();
        return true;
    case command::Cancel:
        hideWindow();
        return true;
    case command::Apply:
        applyChanges();
        return true;
    case command::Link:
        platform::shellOpen(linkAddress_);
        return true;
    case command::Help:
        openHelp();
        return true;
    case command::Minimize:
        QMetaObject::invokeMethod(this, &QWidget::showMinimized, Qt::QueuedConnection);
        return true;
    case command::Close:
    case command::MenuClose:
    case traycommand::Exit:
        exitAfterAsking();
        return true;
    case traycommand::Open:
        showMainWindow();
        return true;
    case command::About:
        openAboutBox();
        return true;
    case command::ApplicationProfiles:
        openApplicationProfiles();
        return true;
    case command::Menu:
        showMainMenu();
        return true;
    case command::Import:
        // The file is chosen here; it goes to the keyboard off the window's
        // thread, all three profiles and the macros.
        if (const auto path = platform::chooseOpenFile(sync::importDialogRequest())) {
            runKeyboardWork([&path] { sync::importProfileAndTell(*path); });
        }
        return true;
    case command::Export:
        sync::exportProfile();
        return true;
    case command::BackupKeyboard:
        backUpKeyboard(keyboardWorkRunner());
        return true;
    case command::RestoreKeyboard:
        // The user chose the backup over every unapplied edit.
        restoreKeyboard(
            keyboardPanel_->compositeEditorOpener(),
            [this] { reloadProfileFromKeyboard(sync::ReloadMode::ReplaceEdits); },
            keyboardWorkRunner());
        return true;
    case traycommand::StartWithDesktop:
        trayIcon().toggleStartWithDesktop();
        return true;
    default:
        return false;
    }
}

bool CTavrikDlg::handlePanelCommand(int commandId) {
    switch (commandId) {
    case command::DefaultProfile:
        openProfileManager();
        return true;
    case command::MacroEditor:
        // The macro button edits G9, with the macro button flag.
        keyboardPanel_->clickKey(keyboard::GButtonIds.back());
        return true;
    case command::Flip1:
    case command::Flip2:
        flipButtons_->toggleFlip();
        return true;
    default:
        break;
    }
    for (int i = 0; i < 3; ++i) {
        if (commandId == ProfileButtons::kProfileButtonIds[static_cast<std::size_t>(i)]) {
            chooseProfile(i);
            return true;
        }
    }
    if (keyboardPanel_->button(commandId) != nullptr) {
        keyboardPanel_->routeClick(commandId);
        return true;
    }
    return false;
}

bool CTavrikDlg::switchProfile(int index) {
    return profileSwitching_->switchProfile(index);
}

void CTavrikDlg::chooseProfile(int profile) {
    lightingPanel_->setLightingProfile(profile);
    lightingPanel_->reloadFromKeyboard();
    ZonePainting& painting = keyboardPanel_->zonePainting();
    if (painting.isPainting()) {
        painting.leavePainting();
    }
    if (device::readActiveProfile() != profile && switchProfile(profile)) {
        // The keyboard's answer decides: a refused switch moves nothing.
        profileButtons_->showActive(device::cachedActiveProfile());
    }
}

// Modal, as the profile manager; what it changes takes effect at once.
void CTavrikDlg::openApplicationProfiles() {
    ApplicationProfilesDialog dialog(*focusFollowing_, this);
    addChildDialog(&dialog);
    dialog.exec();
}

void CTavrikDlg::openProfileManager() {
    CTavrik_DlgProfile dialog(this);
    profileManager_ = &dialog;
    dialog.exec();
}

void CTavrikDlg::restoreDefaults() {
    // Its Apply would be refused, and its keys would change beside the work.
    if (keyboardWorkLoop_ != nullptr) {
        return;
    }
    if (!platform::prompter().askYesNo(text::languageText("MAIN_PROMPT_DEFAULT"), false)) {
        return;
    }
    keyboardPanel_->resetPanelAssignments();
    ZonePainting& painting = keyboardPanel_->zonePainting();
    if (painting.isPainting()) {
        painting.restoreLightingDefaults();
    }
    platform::sendCommand(this, command::Apply);
}

void CTavrikDlg::openAboutBox() {
    if (aboutBox_ == nullptr) {
        aboutBox_ = new AboutBox(platform::pathSet().languageFile, this);
    }
    aboutBox_->present(linkAddress_);
}

void CTavrikDlg::showMainMenu() {
    mainMenu_->popup(QCursor::pos());
}

} // namespace tavrik::app
