#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/lightingpanel/LightingPanel.h"
#include "app/mainwindow/BusyIndicator.h"
#include "app/mainwindow/CTavrikDlg.h"
#include "app/mainwindow/MainWindowFocusFollowing.h"
#include "app/mainwindow/MainWindowLog.h"
#include "app/mainwindow/WindowTimers.h"
#include "app/profiles/ProfileButtons.h"
#include "app/sessionbus/SessionBusService.h"
#include "app/shared/MainWindowIds.h"
#include "app/shared/OpenHelp.h"
#include "app/shared/StartupLog.h"
#include "device/Channels.h"
#include "device/Commands.h"
#include "platform/WindowMessage.h"
#include "sync/Apply.h"
#include "ui/CPngButton.h"

#include <QKeyEvent>

namespace tavrik::app {

// Window messages, timers and keys.

bool CTavrikDlg::event(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        keepMinimisedStart();
    }
    if (event->type() != platform::WindowMessageEvent::eventType()) {
        const bool handled = CBaseDialog::event(event);
        if (event->type() == QEvent::Paint && !painted_) {
            painted_ = true;
            qCDebug(startupLog, "first paint");
            if (startUpAfterPaint_) {
                startUpAfterPaint_ = false;
                // After this paint, from the event loop.
                platform::postWindowMessage(this, platform::message::Init, platform::wparam::Init);
            }
        }
        return handled;
    }
    auto* message = static_cast<platform::WindowMessageEvent*>(event);
    if (keyboardWorkLoop_ != nullptr && !exited_ &&
        holdDuringWork(message->message(), message->wParam(), message->lParam())) {
        message->setResult(0);
        return true;
    }
    qCDebug(windowLog, "message 0x%x wParam 0x%llx lParam %lld", message->message(),
            static_cast<unsigned long long>(message->wParam()),
            static_cast<long long>(message->lParam()));
    message->setResult(
        exited_ ? 0 : handleMessage(message->message(), message->wParam(), message->lParam()));
    // The keyboard's profile and presence as the bus last told them may
    // have changed with any message (a switch, a reload, a removal).
    if (!exited_ && bus_ != nullptr) {
        bus_->noticeState();
    }
    // A switch by hand, or one that may wait no longer.
    if (!exited_ && focusFollowing_ != nullptr && initialised_.load()) {
        focusFollowing_->noticeWindowState();
    }
    return true;
}

std::intptr_t CTavrikDlg::handleMessage(std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
    using namespace platform;
    switch (message) {
    case message::Init:
        if (wParam == wparam::Init) {
            if (startOpensWindow()) {
                // The window that this start opens shows as the keyboard's
                // read begins and paints first; the tray and the session bus
                // follow its paint.
                openAtStart();
                finishStartUpAfterPaint();
            } else if (showAllowed_ && isVisible() && !painted_) {
                // Opened by the reload that came first: it paints first too.
                finishStartUpAfterPaint();
            } else {
                finishStartUp();
            }
        }
        break;
    case message::Open:
        if (wParam == wparam::Open) {
            showMainWindow();
        }
        break;
    case message::Kill:
        if (wParam == wparam::Kill) {
            exitProgram();
        }
        break;
    case message::BankChanged:
        if (wParam == wparam::Led) {
            showBank();
        }
        break;
    case message::ProfileReload:
        if (wParam == wparam::Prof) {
            // A keyboard that answers at once has the device-change worker
            // send this before the posted start-up message comes round: the
            // start is finished first, so the tray icon never waits for the
            // keyboard read (and its protocol pause). A start or a first
            // keyboard that opens the window shows it first instead: the read
            // finishes with the window up and its input held, and the tray
            // comes once the window has painted.
            if (opensWindowAtStart()) {
                openAtStart();
            } else if (!startUpAfterPaint_) {
                finishStartUp();
            }
            // The window's input waits for the end of a read that ran.
            if (reloadProfileFromKeyboard()) {
                releaseInputHold();
            }
            // Where the read ended before the window painted.
            if (!startUpAfterPaint_) {
                finishStartUp();
            }
        }
        break;
    case message::DeviceRemoved:
        closeChildDialogs();
        break;
    case message::SliderMoved:
        lightingPanel_->sliderMoved(static_cast<int>(wParam), static_cast<int>(lParam));
        break;
    case message::TimeChanged:
        applyChanges();
        break;
    case kCommandMessage:
        handleCommand(static_cast<int>(wParam));
        break;
    default:
        break;
    }
    return 0;
}

void CTavrikDlg::handleTimer(std::uint32_t timerId) {
    switch (timerId) {
    case platform::timer::BusyAnimation:
        busyIndicator_->advance();
        break;
    case platform::timer::LightingReload:
        timers_->kill(timerId);
        if (keyboardWorkLoop_ != nullptr) {
            lightingReloadHeld_ = true;
            break;
        }
        runKeyboardWork([this] { lightingPanel_->readLightingState(false); });
        lightingPanel_->showLightingState();
        break;
    case platform::timer::ProfileReload:
        timers_->kill(timerId);
        platform::sendWindowMessage(this, platform::message::ProfileReload, platform::wparam::Prof);
        break;
    default:
        break;
    }
}

void CTavrikDlg::showBank() {
    const int bank = device::currentBank();
    ui::CPngButton* bankLight = button(command::Bank);
    bankLight->setImages(bank == 0 ? images_->buttons() : images_->highlighted(),
                         bankLight->imageOrigin());
    keyboardPanel_->relabelGKeys(bank);
    keyboardPanel_->markGKeys();
}

bool CTavrikDlg::reloadProfileFromKeyboard(sync::ReloadMode mode) {
    // The reads off the window's thread; what they found shown on it.
    int active = -1;
    const bool ran = runKeyboardWork([this, mode, &active] {
        sync::reloadFromKeyboard(mode);
        active = device::readActiveProfile();
        lightingPanel_->readLightingStateOf(active);
    });
    if (!ran) {
        // Another work's end replays the reload.
        heldMessages_.push_back({platform::message::ProfileReload, platform::wparam::Prof, 0});
        return false;
    }
    if (profileButtons_->showActive(active)) {
        lightingPanel_->showLightingProfile();
    }
    lightingPanel_->showLightingState();
    profileButtons_->updateProfileCaption();
    return true;
}

void CTavrikDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 || event->key() == Qt::Key_Help) {
        openHelp();
        return;
    }
    CBaseDialog::keyPressEvent(event);
}

} // namespace tavrik::app
