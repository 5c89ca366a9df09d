#include "app/mainwindow/MainWindowFocusFollowing.h"

#include "app/appprofiles/ApplicationRulesStore.h"
#include "app/keyboardpanel/CompositeEditorOpener.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/mainwindow/CTavrikDlg.h"
#include "app/profiles/CTavrik_DlgProfile.h"
#include "app/profiles/ProfileButtons.h"
#include "app/sessionbus/CollectedMessages.h"
#include "device/Commands.h"
#include "device/DeviceState.h"
#include "platform/WlrForeignToplevels.h"
#include "platform/X11FocusWatch.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"
#include "ui/CPngButton.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

namespace tavrik::app {
namespace {

QString tipOf(const FocusFollower& follower) {
    const std::string focused = follower.focused() ? follower.focused()->id : std::string();
    if (const auto& waiting = follower.waiting()) {
        const std::string& id = waiting->ruleId.empty() ? focused : waiting->ruleId;
        return QString::fromStdU16String(text::formatWithText(
            text::languageText("APPRULE_WAITS"), QString::fromStdString(id).toStdU16String()));
    }
    if (const auto& inForce = follower.inForce()) {
        if (inForce->ruleId.empty()) {
            return QString::fromStdU16String(text::languageText("APPRULE_DEFAULT"));
        }
        return QString::fromStdU16String(
            text::formatWithText(text::languageText("APPRULE_CHOSEN"),
                                 QString::fromStdString(inForce->ruleId).toStdU16String()));
    }
    return {};
}

bool isOwnWindow(const FocusedApplication& application) {
    const std::string executable = normalisedApplicationId(
        QFileInfo(QCoreApplication::applicationFilePath()).fileName().toStdString());
    const std::string name =
        normalisedApplicationId(QCoreApplication::applicationName().toStdString());
    for (const std::string* id : {&application.id, &application.instance}) {
        const std::string normalised = normalisedApplicationId(*id);
        if (!normalised.empty() && (normalised == executable || normalised == name)) {
            return true;
        }
    }
    return false;
}

} // namespace

MainWindowFocusFollowing::MainWindowFocusFollowing(CTavrikDlg& window)
    : window_(window), follower_(*this) {}

MainWindowFocusFollowing::~MainWindowFocusFollowing() = default;

void MainWindowFocusFollowing::start() {
    follower_.setRules(loadApplicationRules());
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        x11_ = std::make_unique<platform::X11FocusWatch>();
        QObject::connect(x11_.get(), &platform::X11FocusWatch::focused, &follower_,
                         [this](const QString& applicationClass, const QString& instance) {
                             focusChanged({applicationClass.toStdString(), instance.toStdString()});
                         });
        if (!x11_->start()) {
            x11_.reset();
        }
    } else if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // Where the compositor offers its toplevels (sway, Hyprland, labwc);
        // elsewhere the desktop's script tells over the session bus.
        wlroots_ = std::make_unique<platform::WlrForeignToplevels>();
        QObject::connect(wlroots_.get(), &platform::WlrForeignToplevels::activated, &follower_,
                         [this](const QString& appId) {
                             focusChanged({appId.toStdString(), {}});
                         });
        if (!wlroots_->start()) {
            wlroots_.reset();
        }
    }
}

bool MainWindowFocusFollowing::changeRules(const ApplicationRules& rules) {
    if (!storeApplicationRules(rules)) {
        return false;
    }
    follower_.setRules(rules);
    return true;
}

void MainWindowFocusFollowing::focusChanged(const FocusedApplication& application) {
    // No window (the desktop itself) and the program's own windows, where
    // the user goes to change what the rules chose, change nothing.
    if ((application.id.empty() && application.instance.empty()) || isOwnWindow(application)) {
        return;
    }
    if (pick_) {
        const auto picked = std::move(pick_);
        pick_ = nullptr;
        picked(application);
    }
    follower_.focusChanged(application);
}

bool MainWindowFocusFollowing::pickNextFocus(
    std::function<void(const FocusedApplication&)> picked) {
    // The X11 watch, or a desktop script on the session bus.
    if (x11_ == nullptr && wlroots_ == nullptr && !window_.servesSessionBus()) {
        return false;
    }
    pick_ = std::move(picked);
    return true;
}

void MainWindowFocusFollowing::noticeWindowState() {
    follower_.noticeActiveProfile(activeProfile());
    follower_.retry();
}

int MainWindowFocusFollowing::activeProfile() const {
    return device::cachedActiveProfile();
}

bool MainWindowFocusFollowing::switchWaits() const {
    return device::reportedDeviceCount() <= 0 || window_.isKeyboardWorkRunning() ||
           window_.keyboardPanel().compositeEditorOpener().openCount() > 0 ||
           window_.isApplyEnabled() || CTavrik_DlgProfile::isModified();
}

bool MainWindowFocusFollowing::switchTo(int profile) {
    // Whatever the switch would say goes to the log, not into a dialog.
    const CollectedMessages said;
    window_.chooseProfile(profile);
    return device::cachedActiveProfile() == profile;
}

void MainWindowFocusFollowing::followingChanged() {
    window_.profileButtons().currentProfileButton()->setToolTip(tipOf(follower_));
}

} // namespace tavrik::app
