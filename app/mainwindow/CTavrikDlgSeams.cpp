#include "app/compositeeditor/Tavrik_DlgComposite.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/lightingpanel/LightingPanel.h"
#include "app/mainwindow/BusyIndicator.h"
#include "app/mainwindow/CTavrikDlg.h"
#include "app/mainwindow/MainWindowBridge.h"
#include "app/mainwindow/MainWindowBusActions.h"
#include "app/mainwindow/MainWindowCompositeEditor.h"
#include "app/mainwindow/MainWindowFocusFollowing.h"
#include "app/sessionbus/SessionBusService.h"
#include "app/shared/MainWindowIds.h"
#include "app/tray/CTrayIcon.h"
#include "device/Commands.h"
#include "platform/Ports.h"
#include "ui/CPngButton.h"

namespace tavrik::app {

// The ports the window installs and answers (MainWindowPort through its
// bridge, Prompter) and the seams of its panels.

bool CTavrikDlg::servesSessionBus() const {
    return bus_ != nullptr && bus_->isPublished();
}

void CTavrikDlg::publishWindow() {
    focusFollowing_ = std::make_unique<MainWindowFocusFollowing>(*this);
    busActions_ = std::make_unique<MainWindowBusActions>(*this);
    bus_ = new SessionBusService(*busActions_, this);
    mainWindowBridge().attach(*this);
    platform::installMainWindowPort(&mainWindowBridge());
    platform::installPrompter(&prompter_);
    device::setCachedActiveProfile(-1);
}

// Making the tray's object asks the session bus whether a notification area
// of its own is there: some 2 ms that a window shown at start does not wait
// for.
CTrayIcon& CTavrikDlg::trayIcon() {
    if (tray_ == nullptr) {
        tray_ = std::make_unique<CTrayIcon>(this);
        connect(tray_.get(), &CTrayIcon::hostLost, this, &CTavrikDlg::noticeTrayHostLost);
    }
    return *tray_;
}

Tavrik_DlgComposite& CTavrikDlg::compositeEditor() {
    if (compositeEditor_ == nullptr) {
        compositeEditor_ = new Tavrik_DlgComposite(*editorSeam_, this);
        addChildDialog(compositeEditor_);
    }
    return *compositeEditor_;
}

void CTavrikDlg::addChildDialog(QWidget* dialog) {
    childDialogs_.emplace_back(dialog);
}

void CTavrikDlg::setCompositeEditorOpener(CompositeEditorOpener* opener) {
    keyboardPanel_->setCompositeEditorOpener(opener);
}

void CTavrikDlg::setZonePainting(ZonePainting* painting) {
    keyboardPanel_->setZonePainting(painting != nullptr ? painting : lightingPanel_);
}

void CTavrikDlg::setTrayIcon(int iconId) {
    if (trayState_.change(iconId) && tray_ != nullptr) {
        tray_->setIcon(iconId);
    }
    // The device-change worker tells the keyboard's arrival and removal here.
    if (bus_ != nullptr) {
        bus_->noticeState();
    }
}

void CTavrikDlg::setApplyEnabled(bool enabled) {
    applyPending_.store(enabled);
    if (ui::CPngButton* apply = button(command::Apply)) {
        apply->setEnabled(enabled);
    }
}

void CTavrikDlg::refreshKeyButtons() {
    // The keys read the working set, which keyboard work holds locked.
    if (keyboardWorkLoop_ != nullptr) {
        refreshHeld_ = true;
        return;
    }
    if (keyboardPanel_ != nullptr) {
        keyboardPanel_->refreshDescriptions(true);
    }
}

void CTavrikDlg::setBusyIndicatorVisible(bool visible) {
    if (busyIndicator_ != nullptr) {
        busyIndicator_->setVisible(visible);
    }
}

} // namespace tavrik::app
