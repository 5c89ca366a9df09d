#include "app/mainwindow/CTavrikDlg.h"

#include "app/about/AboutBox.h"
#include "app/compositeeditor/Tavrik_DlgComposite.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/lightingpanel/LightingPanel.h"
#include "app/mainwindow/BackgroundNotice.h"
#include "app/mainwindow/BusyIndicator.h"
#include "app/mainwindow/InputDuringWork.h"
#include "app/mainwindow/KeyboardFilter.h"
#include "app/mainwindow/LinkAddress.h"
#include "app/mainwindow/MainWindowBridge.h"
#include "app/mainwindow/MainWindowBusActions.h"
#include "app/mainwindow/MainWindowFocusFollowing.h"
#include "app/mainwindow/MainWindowCompositeEditor.h"
#include "app/mainwindow/MainWindowLog.h"
#include "app/mainwindow/WindowTimers.h"
#include "app/profiles/CTavrik_DlgProfile.h"
#include "app/profiles/FlipButtons.h"
#include "app/profiles/ProfileButtons.h"
#include "app/profiles/ProfileSwitching.h"
#include "app/sessionbus/SessionBusService.h"
#include "app/shared/MainWindowIds.h"
#include "app/shared/QuietExit.h"
#include "app/shared/SkinFont.h"
#include "app/shared/StartupLog.h"
#include "app/startup/InstanceStartup.h"
#include "app/tray/CTrayIcon.h"
#include "device/Channels.h"
#include "device/ServiceBinding.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "platform/WindowMessage.h"
#include "sync/DataSets.h"
#include "sync/DeviceChangeResponse.h"
#include "text/LanguageFile.h"
#include "ui/CPngButton.h"
#include "ui/LanguageMenu.h"
#include "ui/LanguageQText.h"
#include "ui/SkinPlacement.h"

#include <QApplication>
#include <QLabel>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>

namespace tavrik::app {

// "tavrik.window.debug=true" in QT_LOGGING_RULES lists every message the
// window handles.
Q_LOGGING_CATEGORY(windowLog, "tavrik.window", QtInfoMsg)

namespace {

using namespace std::chrono_literals;

// How often the window compares the wall clock with the time that passed
// where the system cannot tell it that the clock was set, and by how much
// they may differ before the clock counts as set.
constexpr auto kClockCheckPeriod = 1s;
constexpr auto kClockJumpTolerance = 2s;

constexpr Qt::WindowFlags kFrameless =
    Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowSystemMenuHint;

using ui::languageQString;

void setCaption(ui::CPngButton& button, std::string_view textKey) {
    setSkinCaption(button, languageQString(textKey));
}

} // namespace

CTavrikDlg::CTavrikDlg(InstanceDecision instance)
    : CBaseDialog(platform::pathSet().mainSkinFile), instance_(std::move(instance)), server_(this),
      clockWatch_(std::chrono::duration_cast<std::chrono::milliseconds>(kClockJumpTolerance)) {
    applyPending_.store(false);
    qCDebug(startupLog, "skin applied");
}

CTavrikDlg::CTavrikDlg(const QStringList& arguments) : CTavrikDlg(runInstanceLogic(arguments)) {}

CTavrikDlg::~CTavrikDlg() {
    // Messages served while the workers are drained find the window gone.
    exited_ = true;
    // Before the actions it answers with.
    delete bus_;
    bus_ = nullptr;
    // The editor goes before the panel it reports to.
    delete compositeEditor_;
    compositeEditor_ = nullptr;
    if (timers_ != nullptr) {
        timers_->killAll();
    }
    mainWindowBridge().detach(*this);
    if (&platform::mainWindow() == &mainWindowBridge() && !mainWindowBridge().isAttached()) {
        platform::installMainWindowPort(nullptr);
    }
    if (&platform::prompter() == &prompter_) {
        platform::installPrompter(nullptr);
    }
}

// Initialisation, in its order. The skin was applied when the base dialog
// was constructed. The window gets no "About..." item in a system menu: a
// frameless window on Linux has no system menu to add it to; the About box
// is in the window's menu and the tray menu.
void CTavrikDlg::initialise() {
    // The window's shape, read while the start goes on: a window that the
    // start opens needs it as it is shown.
    prepareShape();
    applicationIcon_ = QIcon(
        QString::fromStdString(CTrayIcon::iconFile(skinFolder(), platform::trayicon::NoKeyboard)));
    setWindowIcon(applicationIcon_);
    initialised_.store(false);
    publishWindow();
    // A start that stays in the tray shows its icon before anything else:
    // that is all the user sees of it. A click on it waits in the queue
    // behind the start-up message.
    if (instance_.startHidden) {
        showTrayIcon();
        qCDebug(startupLog, "tray icon shown");
    }
    bindDevice();
    qCDebug(startupLog, "service bound");
    // A layered-window entry point needs no looking up here: the window's
    // shape comes from its mask (setMask), which every Qt platform has.
    createWorkingSet();
    loadSkinImagesOrExit();
    qCDebug(startupLog, "skin images loaded");
    readLinkAddress();
    createPanels();
    qCDebug(startupLog, "panels built");
    makeToolWindow();
    startUpPending_ = true;
    platform::postWindowMessage(this, platform::message::Init, platform::wparam::Init);
    applyProfileCaptions();
    createMainMenu();
    createKeyboardFilter();
    createTimeChangeWatch();
}

void CTavrikDlg::bindDevice() {
    device::bindServiceOrExit();
    // The device-change workers, the first of which the channel
    // registration starts, run the program's response to a new count.
    sync::installDeviceChangeResponse();
    device::registerChannels();
}

void CTavrikDlg::createWorkingSet() {
    sync::resetDataSets();
    setApplyEnabled(false);
}

void CTavrikDlg::loadSkinImagesOrExit() {
    images_ = loadMainSkinImages(skinFolder());
    if (!images_) {
        // Nothing of the window exists yet for anyone to see or reach.
        endProcessQuietly();
    }
}

void CTavrikDlg::readLinkAddress() {
    linkAddress_ = resolveLinkAddress(layout().readString(u"SCREEN", u"Link", u""), skinFolder(),
                                      platform::pathSet().helpFolder + "index.html");
}

void CTavrikDlg::createPanels() {
    timers_ = new WindowTimers(this);
    connect(timers_, &WindowTimers::fired, this, &CTavrikDlg::handleTimer);
    createTitleBar();
    profileButtons_ = new ProfileButtons(*this, layout(), images_->buttons());
    createToolBar();
    keyboardPanel_ = new KeyboardPanel(*this, layout(), *images_);
    editorSeam_ = std::make_unique<MainWindowCompositeEditor>(*this);
    setCompositeEditorOpener(editorSeam_.get());
    createIndicators();
    flipButtons_ = new FlipButtons(*this, layout(), *images_, *keyboardPanel_);
    connect(keyboardPanel_, &KeyboardPanel::keysMarked, flipButtons_, &FlipButtons::applyFlipState);
    flipButtons_->applyFlipState();
    profileSwitching_ = new ProfileSwitching(*this, *keyboardPanel_, *profileButtons_);
    lightingPanel_ =
        new LightingPanel(*this, layout(), images_->buttons(), *keyboardPanel_, *profileSwitching_);
    keyboardPanel_->setZonePainting(lightingPanel_);
    busyIndicator_ = new BusyIndicator(skinFolder(), this);
    ui::placeControl(*busyIndicator_, layout(), u"CONTROL_JDTStatic");
    createBottomBar();
    showBank();
}

ui::CPngButton* CTavrikDlg::createButton(int controlId, std::u16string_view skinKey) {
    auto* button = new ui::CPngButton(this);
    ui::placeImageButton(*button, layout(), skinKey, images_->buttons());
    connect(button, &QAbstractButton::clicked, this,
            [this, controlId] { platform::sendCommand(this, controlId); });
    buttons_[controlId] = button;
    return button;
}

void CTavrikDlg::createTitleBar() {
    createButton(command::Link, u"VESTRO_LINK");
    createButton(command::Help, u"CONTROL_HELP")->setToolTip(languageQString("MAIN_HELP_PROMPT"));
    createButton(command::Menu, u"CONTROL_MENU");
    createButton(command::Minimize, u"CONTROL_MINIMIZE");
    createButton(command::Close, u"CONTROL_CLOSE");
}

void CTavrikDlg::createToolBar() {
    createButton(command::MacroEditor, u"FUNC_MACRO");
    defaultsButton_ = new ui::CPngButton(this);
    ui::placeImageButton(*defaultsButton_, layout(), u"FUNC_DEFAULT", images_->buttons());
    connect(defaultsButton_, &QAbstractButton::clicked, this, &CTavrikDlg::restoreDefaults);
}

// The lock and bank lights only show a state: none of them takes a click.
void CTavrikDlg::createIndicators() {
    for (const std::u16string_view key : {u"LOCK_NUM", u"LOCK_CAPS", u"LOCK_SCROLL"}) {
        auto* light = new ui::CPngButton(this);
        ui::placeImageButton(*light, layout(), key, images_->buttons());
        light->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    createButton(command::Bank, u"LOCK_AB")->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CTavrikDlg::createBottomBar() {
    createButton(command::Ok, u"CONTROL_OK");
    createButton(command::Cancel, u"CONTROL_CANCEL");
    createButton(command::Apply, u"CONTROL2_APPLY")->setEnabled(applyPending_.load());
    versionLabel_ = new QLabel(languageQString("MAIN_BUTTON_VESTRO_VER"), this);
    versionLabel_->setFont(skinFont(QStringLiteral("Verdana"), 8));
    versionLabel_->setEnabled(false);
    ui::placeControl(*versionLabel_, layout(), u"VESTRO_VER");
}

void CTavrikDlg::makeToolWindow() {
    setWindowFlags(Qt::Tool | kFrameless);
    server_.listen();
    setWindowTitle(languageQString("MAIN_CAPTION"));
}

void CTavrikDlg::makeApplicationWindow() {
    if (windowType() != Qt::Window) {
        setWindowFlags(Qt::Window | kFrameless);
    }
}

void CTavrikDlg::applyProfileCaptions() {
    text::loadProfileCaptions(platform::pathSet().languageFile);
    constexpr std::string_view kProfileTexts[] = {"PROFILE_1", "PROFILE_2", "PROFILE_3"};
    for (int i = 0; i < 3; ++i) {
        setCaption(*profileButtons_->profileButton(i), kProfileTexts[i]);
    }
    setCaption(*button(command::MacroEditor), "PROFILE_MACRO");
    setCaption(*defaultsButton_, "PROFILE_DEFAULT");
    setCaption(*button(command::Ok), "PROFILE_OK");
    setCaption(*button(command::Cancel), "PROFILE_CANCLE");
    setCaption(*button(command::Apply), "PROFILE_APPLY");
    button(command::Minimize)->setToolTip(languageQString("MAIN_MINIMIZE_PROMPT"));
    button(command::Menu)->setToolTip(languageQString("MAIN_MENU_PROMPT"));
    button(command::Close)->setToolTip(languageQString("MAIN_CLOSE_PROMPT"));
    // The current profile's name shows on the current-profile button too.
    setCaption(*profileButtons_->currentProfileButton(), "DEFAULT_PROFILE_NAME");
}

void CTavrikDlg::createMainMenu() {
    static constexpr ui::LanguageMenuItem kItems[] = {
        {command::Import, "MENU_1"},
        {command::Export, "MENU_2"},
        ui::kMenuSeparator,
        {command::BackupKeyboard, "MENU_5"},
        {command::RestoreKeyboard, "MENU_6"},
        ui::kMenuSeparator,
        {command::ApplicationProfiles, "MENU_7"},
        // Also here, for desktops that show no tray icon with its menu.
        {traycommand::StartWithDesktop, "MENU_44", true},
        ui::kMenuSeparator,
        {command::About, "MENU_3"},
        {command::MenuClose, "MENU_4"},
    };
    mainMenu_ = new ui::LanguageMenu(kItems, platform::pathSet().languageFile, this);
    mainMenu_->setOwner(this);
    connect(mainMenu_, &QMenu::aboutToShow, this, [this] {
        mainMenu_->actionOf(traycommand::StartWithDesktop)
            ->setChecked(trayIcon().autostartEntry().isEnabled());
    });
}

// In the bottom bar, between the version and the OK button, where it covers
// nothing the user needs. Made when first needed: measuring the version's
// text loads the system's fonts, a good part of a start hidden in the tray.
BackgroundNotice& CTavrikDlg::backgroundNotice() {
    if (backgroundNotice_ == nullptr) {
        createBackgroundNotice();
    }
    return *backgroundNotice_;
}

void CTavrikDlg::createBackgroundNotice() {
    constexpr int kGap = 12;
    const QRect ok = button(command::Ok)->geometry();
    const int left = versionLabel_->x() + versionLabel_->sizeHint().width() + kGap;
    backgroundNotice_ =
        new BackgroundNotice(*this, QRect(QPoint(left, ok.top() - kGap / 2),
                                          QPoint(ok.left() - kGap, ok.bottom() + kGap / 2)));
}

void CTavrikDlg::createKeyboardFilter() {
    qApp->installEventFilter(new KeyboardFilter(*this, *lightingPanel_->effectList(), this));
}

// Linux sends no notice when the system clock is set, so the window watches
// for a jump of the wall clock itself and sends itself the time-change
// message then, as the system would.
void CTavrikDlg::createTimeChangeWatch() {
    clockWatch_.observe(std::chrono::system_clock::now(), ClockJumpWatch::timeSinceBoot());
    clockSetTimer_ = std::make_unique<platform::ClockSetTimer>();
    if (clockSetTimer_->valid()) {
        // The kernel tells when the clock is set: the window sleeps till then.
        auto* notifier =
            new QSocketNotifier(clockSetTimer_->descriptor(), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this] {
            if (clockSetTimer_->takeClockSet()) {
                noticeClockChange();
            }
        });
        return;
    }
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &CTavrikDlg::noticeClockChange);
    poll->start(kClockCheckPeriod);
}

void CTavrikDlg::noticeClockChange() {
    if (clockWatch_.observe(std::chrono::system_clock::now(), ClockJumpWatch::timeSinceBoot())) {
        platform::sendWindowMessage(this, platform::message::TimeChanged, 0);
    }
}

ui::CPngButton* CTavrikDlg::button(int controlId) const {
    const auto found = buttons_.find(controlId);
    return found == buttons_.end() ? nullptr : found->second;
}

AboutBox* CTavrikDlg::aboutBox() const {
    return aboutBox_.data();
}

CTavrik_DlgProfile* CTavrikDlg::profileManager() const {
    return profileManager_.data();
}

} // namespace tavrik::app
