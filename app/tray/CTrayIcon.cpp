#include "app/tray/CTrayIcon.h"

#include "app/shared/TrayIconFile.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "platform/Unicode.h"
#include "platform/WindowMessage.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"
#include "ui/LanguageMenu.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>
#include <QWindow>
#include <utility>

namespace tavrik::app {
namespace {

// The service with which StatusNotifierItem hosts (the notification areas of
// most desktops) register icons. When it comes back, the area has restarted
// and has forgotten every icon.
constexpr const char* kStatusNotifierWatcher = "org.kde.StatusNotifierWatcher";

// What Qt looks at when it chooses the kind of tray for a new icon.
bool statusNotifierHostRegistered() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr &&
           bus.interface()->isServiceRegistered(QString::fromLatin1(kStatusNotifierWatcher));
}

std::function<bool()>& hostCheck() {
    static std::function<bool()> check;
    return check;
}

constexpr ui::LanguageMenuItem kMenuItems[] = {
    {traycommand::Open, "MENU_11"},
    {traycommand::About, "MENU_22"},
    ui::kMenuSeparator,
    {traycommand::StartWithDesktop, "MENU_44", true},
    ui::kMenuSeparator,
    {traycommand::Exit, "MENU_33"},
};

} // namespace

CTrayIcon::CTrayIcon(QObject* parent)
    : QObject(parent), icon_(new QSystemTrayIcon(this)),
      activation_(QGuiApplication::platformName().toStdString(), statusNotifierHostRegistered()),
      menu_(new ui::LanguageMenu(kMenuItems, platform::pathSet().languageFile)), hook_(*this),
      iconFolder_(platform::pathSet().mainSkinFolder), autostart_(AutostartEntry::ofThisProgram()) {
    // The notification area shows the menu on a right click. Its first item
    // is the default one: what a click on the icon does.
    menu_->setDefaultAction(menu_->actions().first());
    icon_->setContextMenu(menu_);
    connect(menu_, &QMenu::aboutToShow, this, &CTrayIcon::showAutostartState);
    showAutostartState();
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { forwardActivation(reason); });
    watchTrayHost();
}

CTrayIcon::~CTrayIcon() {
    remove();
    hook_.unhook();
    icon_->setContextMenu(nullptr);
    delete menu_;
}

void CTrayIcon::setLanguageFile(std::string path) {
    menu_->setLanguageFile(std::move(path));
}

void CTrayIcon::setAutostartEntry(AutostartEntry entry) {
    autostart_ = std::move(entry);
    showAutostartState();
}

void CTrayIcon::showAutostartState() {
    menu_->actionOf(traycommand::StartWithDesktop)->setChecked(autostart_.isEnabled());
}

void CTrayIcon::toggleStartWithDesktop() {
    const bool enable = !autostart_.isEnabled();
    if (!autostart_.setEnabled(enable)) {
        platform::prompter().showMessage(
            text::formatWithText(text::languageText("AUTOSTART_FAILED"),
                                 platform::toUtf16(autostart_.entryPath())),
            u"", platform::MessageIcon::Warning);
    }
    showAutostartState();
}

bool CTrayIcon::isHostAvailable() {
    return hostCheck() ? hostCheck()() : QSystemTrayIcon::isSystemTrayAvailable();
}

void CTrayIcon::setHostCheck(std::function<bool()> check) {
    hostCheck() = std::move(check);
}

void CTrayIcon::watchTrayHost() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    auto* watcher = new QDBusServiceWatcher(QString::fromLatin1(kStatusNotifierWatcher), bus,
                                            QDBusServiceWatcher::WatchForRegistration |
                                                QDBusServiceWatcher::WatchForUnregistration,
                                            this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this,
            &CTrayIcon::onTrayHostRestarted);
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, &CTrayIcon::hostLost);
}

bool CTrayIcon::create(QWidget* owner, std::uint32_t callbackMessage, const std::u16string& tip,
                       const QIcon& icon, std::uint32_t id) {
    remove();
    if (owner == nullptr || icon.isNull()) {
        return false;
    }
    owner_ = owner;
    menu_->setOwner(owner);
    // Not every notification area asks before it shows the menu.
    menu_->fetchTexts();
    callbackMessage_ = callbackMessage;
    id_ = id;
    hook_.hookWindow(owner);
    icon_->setIcon(icon);
    icon_->setToolTip(
        QString::fromStdU16String(std::u16string(platform::cutUtf16(tip, kTrayTipMaxLength))));
    icon_->show();
    active_ = icon_->isVisible();
    return active_;
}

bool CTrayIcon::setIcon(int iconId) {
    if (!active_) {
        return false;
    }
    const QPixmap picture(QString::fromStdString(iconFile(iconFolder_, iconId)));
    if (picture.isNull()) {
        return false;
    }
    icon_->setIcon(QIcon(picture));
    return true;
}

void CTrayIcon::remove() {
    if (active_) {
        icon_->hide();
    }
    active_ = false;
}

void CTrayIcon::onTrayHostRestarted() {
    if (active_) {
        icon_->hide();
        icon_->show();
    }
}

std::u16string CTrayIcon::tip() const {
    return icon_->toolTip().toStdU16String();
}

QIcon CTrayIcon::icon() const {
    return icon_->icon();
}

std::string CTrayIcon::iconFile(const std::string& folder, int iconId) {
    return trayIconFile(folder, iconId);
}

void CTrayIcon::forwardActivation(int reason) {
    std::intptr_t mouse = 0;
    if (reason == QSystemTrayIcon::Trigger) {
        mouse = traymouse::LeftButtonUp;
    } else if (reason == QSystemTrayIcon::DoubleClick) {
        mouse = traymouse::LeftButtonDoubleClick;
    } else if (reason == QSystemTrayIcon::Context) {
        mouse = traymouse::RightButtonUp;
    } else {
        return;
    }
    if (owner_) {
        platform::sendWindowMessage(owner_, callbackMessage_, id_, mouse);
    }
}

void CTrayIcon::onNotification(std::uintptr_t wParam, std::intptr_t lParam) {
    if (wParam != id_ || !owner_) {
        return;
    }
    const bool opens = (lParam == traymouse::LeftButtonUp &&
                        activation_.opensWindow(TrayActivation::Click::Single)) ||
                       (lParam == traymouse::LeftButtonDoubleClick &&
                        activation_.opensWindow(TrayActivation::Click::Double));
    if (opens) {
        platform::sendCommand(owner_, traycommand::Open);
    }
    if (lParam == traymouse::RightButtonUp && activation_.showsMenuOnRightClick() &&
        !menu_->isVisible()) {
        showMenuAtPointer();
    }
}

void CTrayIcon::showMenuAtPointer() {
    if (activation_.menuNeedsShownWindow()) {
        if (!owner_->isVisible() || owner_->windowHandle() == nullptr) {
            platform::sendCommand(owner_, traycommand::Open);
            return;
        }
        menu_->winId();
        menu_->windowHandle()->setTransientParent(owner_->windowHandle());
    }
    menu_->popup(QCursor::pos());
}

bool CTrayIcon::CTrayHook::windowProc(QObject* window, QEvent* event) {
    if (event->type() == platform::WindowMessageEvent::eventType()) {
        auto* message = static_cast<platform::WindowMessageEvent*>(event);
        if (message->message() == tray_.callbackMessage_) {
            tray_.onNotification(message->wParam(), message->lParam());
            message->setResult(0);
            return true;
        }
    }
    return CSubclassWnd::windowProc(window, event);
}

} // namespace tavrik::app
