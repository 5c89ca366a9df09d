#include "app/about/AboutBox.h"
#include "app/mainwindow/BackgroundNotice.h"
#include "app/mainwindow/CTavrikDlg.h"
#include "app/mainwindow/InputDuringWork.h"
#include "app/mainwindow/MainWindowFocusFollowing.h"
#include "app/mainwindow/MainWindowLog.h"
#include "app/profiles/CTavrik_DlgProfile.h"
#include "app/profiles/ProfileButtons.h"
#include "app/profiles/ProfileSwitching.h"
#include "app/sessionbus/SessionBusService.h"
#include "app/shared/MainWindowIds.h"
#include "app/shared/StartupLog.h"
#include "app/tray/CTrayIcon.h"
#include "device/DeviceState.h"
#include "device/StartFlags.h"
#include "platform/Ports.h"
#include "platform/WindowMessage.h"
#include "sync/DataSets.h"
#include "sync/DeviceChangeResponse.h"
#include "text/LanguageTexts.h"
#include "ui/SkinImageCache.h"

#include <QCloseEvent>
#include <QTimer>

namespace tavrik::app {
namespace {

// How long the end of the start waits for the first paint of a window that
// the start opened, at most.
constexpr std::chrono::milliseconds kStartUpPaintWait{1000};

} // namespace

// Runs once, at the posted start-up message or at a reload that overtook it.
void CTavrikDlg::finishStartUp() {
    if (!startUpPending_) {
        return;
    }
    startUpPending_ = false;
    // Two hundred files on /dev/shm, made beside the tray's making. Not
    // earlier: made while the window is built and first shown, they took
    // a core from it.
    namedEventsCreation_ = std::jthread([this] { namedEvents_.create(); });
    showTrayIcon();
    profileButtons_->updateProfileCaption();
    waitForNamedEvents();
    initialised_.store(true);
    sync::noticeWindowInitialised();
    // Scripts reach the window once it can answer them.
    bus_->publish();
    focusFollowing_->start();
    qCDebug(startupLog, "tray icon and session bus up");
    // A window that the start opened already stays.
    if (!showAllowed_) {
        hideWindow();
        // With no notification area, a start that waits out of sight waits
        // in the task switcher.
        if (instance_.startHidden && !CTrayIcon::isHostAvailable()) {
            showMinimisedWindow();
        }
    }
}

// Once per run: where no notification area takes it, the window stands in
// for it (see noticeTrayHostLost).
void CTavrikDlg::showTrayIcon() {
    if (trayShown_) {
        return;
    }
    trayShown_ = true;
    trayIcon().create(this, kTrayCallbackMessage, text::languageText("KEYBOARD_TRAY_DESC"),
                      applicationIcon_, kTrayIconId);
    trayState_.change(platform::trayicon::NoKeyboard);
}

bool CTavrikDlg::opensWindowAtStart() const {
    return !device::startFlags().startHidden.load() && device::reportedDeviceCount() > 0 &&
           !isVisible();
}

bool CTavrikDlg::startOpensWindow() const {
    return startUpPending_ && !device::startFlags().startHidden.load() &&
           device::reportedDeviceCount() > 0;
}

// The start's opening of the window, done here and so no longer the
// device-change worker's: its Open, posted once the read has ended, could
// come after the keyboard has gone again and then say that there is none.
void CTavrikDlg::openAtStart() {
    device::startFlags().startHidden.store(true);
    showMainWindow();
    holdInputUntilRead();
}

// Until the keyboard's first read has ended the window shows what is not the
// keyboard's yet: it takes no input but a move and Minimize meanwhile.
void CTavrikDlg::holdInputUntilRead() {
    startHold_ = std::make_unique<InputDuringWork>(
        [this](const QWidget* window) { return window == this; },
        [this](const QWidget* widget) {
            return widget == this || widget == button(command::Minimize);
        });
}

void CTavrikDlg::releaseInputHold() {
    startHold_.reset();
}

// The tray and the session bus come after the window's first paint, or
// without it where the window goes before it painted or no paint comes
// (a compositor that keeps the window unexposed).
void CTavrikDlg::finishStartUpAfterPaint() {
    startUpAfterPaint_ = true;
    QTimer::singleShot(kStartUpPaintWait, this, [this] {
        if (startUpAfterPaint_) {
            startUpAfterPaint_ = false;
            finishStartUp();
        }
    });
}

void CTavrikDlg::waitForNamedEvents() {
    if (namedEventsCreation_.joinable()) {
        namedEventsCreation_.join();
    }
}

// Showing and hiding.

void CTavrikDlg::showMainWindow() {
    if (device::reportedDeviceCount() <= 0) {
        qCDebug(windowLog, "no keyboard: the window stays hidden");
        platform::prompter().showMessage(text::languageText("MAIN_NO_DEVICE_PROMPT"), u"",
                                         platform::MessageIcon::None);
        return;
    }
    makeApplicationWindow();
    showAllowed_ = true;
    minimisedUntilShown_ = false;
    showNormal();
    raise();
    activateWindow();
    qCDebug(windowLog, "window shown");
    if (!CTrayIcon::isHostAvailable()) {
        backgroundNotice().sayOnce();
    }
}

void CTavrikDlg::showMinimisedWindow() {
    makeApplicationWindow();
    showAllowed_ = true;
    minimisedUntilShown_ = true;
    showMinimized();
    qCDebug(windowLog, "window minimised");
}

// The desktop maps a new window as it sees fit: an X11 window manager maps
// the modal window normally when it asks to be active, and a Wayland
// compositor tells no client that it is minimised. The first other state
// the desktop reports after a minimised show is taken back to minimised.
void CTavrikDlg::keepMinimisedStart() {
    if (!minimisedUntilShown_ || isMinimized()) {
        return;
    }
    minimisedUntilShown_ = false;
    if (isVisible()) {
        QMetaObject::invokeMethod(this, &QWidget::showMinimized, Qt::QueuedConnection);
    }
}

void CTavrikDlg::hideWindow() {
    if (backgroundNotice_ != nullptr) {
        backgroundNotice_->hide();
    }
    if (isVisible() && !CTrayIcon::isHostAvailable()) {
        showMinimisedWindow();
        return;
    }
    hide();
    releaseInputHold();
    if (startUpAfterPaint_) {
        startUpAfterPaint_ = false;
        platform::postWindowMessage(this, platform::message::Init, platform::wparam::Init);
    }
}

void CTavrikDlg::noticeTrayHostLost() {
    if (!exited_ && !isVisible() && (showAllowed_ || instance_.startHidden) &&
        !CTrayIcon::isHostAvailable()) {
        showMinimisedWindow();
    }
}

void CTavrikDlg::setVisible(bool visible) {
    if (visible && !showAllowed_) {
        return;
    }
    CBaseDialog::setVisible(visible);
}

void CTavrikDlg::closeEvent(QCloseEvent* event) {
    // The window's Close hides it; only exitProgram ends the program.
    event->ignore();
    hideWindow();
}

void CTavrikDlg::reject() {
    hideWindow();
}

// Exit.

void CTavrikDlg::exitAfterAsking() {
    if (isApplyEnabled()) {
        ProfileSwitching::askToSaveChanges(*this);
        // Still pending: an Apply the keyboard did not take (which said so),
        // or a question already being answered. The changes stay, and so
        // does the program.
        if (isApplyEnabled()) {
            return;
        }
    }
    exitProgram();
}

bool CTavrikDlg::exitProgram() {
    if (exited_) {
        return true;
    }
    hide();
    if (!tearDown()) {
        return false;
    }
    exited_ = true;
    ui::clearSkinImages();
    done(0);
    return true;
}

bool CTavrikDlg::tearDown() {
    if (!closeChildDialogs()) {
        return false;
    }
    instance_.mutex.close();
    // Another instance started from now on is the first one.
    server_.close();
    bus_->withdraw();
    waitForNamedEvents();
    namedEvents_.close();
    if (tray_ != nullptr) {
        tray_->remove();
    }
    trayState_.clear();
    setApplyEnabled(false);
    sync::releaseDataSets();
    return true;
}

bool CTavrikDlg::closeChildDialogs() {
    std::vector<QPointer<QWidget>> children{QPointer<QWidget>(aboutBox_.data()),
                                            QPointer<QWidget>(profileManager_.data())};
    children.insert(children.end(), childDialogs_.begin(), childDialogs_.end());
    for (const QPointer<QWidget>& child : children) {
        if (child != nullptr && child->isVisible() && !child->close()) {
            return false;
        }
    }
    return true;
}

} // namespace tavrik::app
