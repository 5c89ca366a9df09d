#include "app/mainwindow/CTavrikDlg.h"

#include "app/about/AboutBox.h"
#include "app/compositeeditor/Tavrik_DlgComposite.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/lightingpanel/LightingPanel.h"
#include "app/mainwindow/BusyIndicator.h"
#include "app/mainwindow/KeyboardBackupCommands.h"
#include "app/mainwindow/KeyboardFilter.h"
#include "app/mainwindow/LinkAddress.h"
#include "app/mainwindow/MainWindowBridge.h"
#include "app/mainwindow/MainWindowCompositeEditor.h"
#include "app/mainwindow/WindowTimers.h"
#include "app/profiles/CTavrik_DlgProfile.h"
#include "app/profiles/FlipButtons.h"
#include "app/profiles/ProfileButtons.h"
#include "app/profiles/ProfileSwitching.h"
#include "app/shared/MainWindowIds.h"
#include "app/shared/OpenHelp.h"
#include "app/shared/QuietExit.h"
#include "app/shared/SkinFont.h"
#include "app/startup/InstanceStartup.h"
#include "app/tray/CTrayIcon.h"
#include "device/Channels.h"
#include "device/Commands.h"
#include "device/DeviceState.h"
#include "device/ServiceBinding.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "platform/ShellOpen.h"
#include "platform/WindowMessage.h"
#include "sync/Apply.h"
#include "sync/DataSets.h"
#include "sync/DeviceChangeResponse.h"
#include "sync/ProfileActivation.h"
#include "sync/ProfileTransfer.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"
#include "ui/CPngButton.h"
#include "ui/LanguageMenu.h"
#include "ui/LanguageQText.h"
#include "ui/SkinImageCache.h"
#include "ui/SkinPlacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>

namespace tavrik::app {
namespace {

// "tavrik.window.debug=true" in QT_LOGGING_RULES lists every message the
// window handles.
Q_LOGGING_CATEGORY(windowLog, "tavrik.window", QtInfoMsg)

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
}

CTavrikDlg::CTavrikDlg(const QStringList& arguments) : CTavrikDlg(runInstanceLogic(arguments)) {}

CTavrikDlg::~CTavrikDlg() {
    // Messages served while the workers are drained find the window gone.
    exited_ = true;
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
    applicationIcon_ = QIcon(
        QString::fromStdString(CTrayIcon::iconFile(skinFolder(), platform::trayicon::NoKeyboard)));
    setWindowIcon(applicationIcon_);
    initialised_.store(false);
    publishWindow();
    bindDevice();
    // A layered-window entry point needs no looking up here: the window's
    // shape comes from its mask (setMask), which every Qt platform has.
    createWorkingSet();
    loadSkinImagesOrExit();
    readLinkAddress();
    createPanels();
    makeToolWindow();
    // Two hundred files on /dev/shm: made while the start reads the keyboard.
    namedEventsCreation_ = std::jthread([this] { namedEvents_.create(); });
    startUpPending_ = true;
    platform::postWindowMessage(this, platform::message::Init, platform::wparam::Init);
    applyProfileCaptions();
    createMainMenu();
    createKeyboardFilter();
    createTimeChangeWatch();
}

void CTavrikDlg::publishWindow() {
    tray_ = std::make_unique<CTrayIcon>(this);
    mainWindowBridge().attach(*this);
    platform::installMainWindowPort(&mainWindowBridge());
    platform::installPrompter(&prompter_);
    device::setCachedActiveProfile(-1);
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
        {command::About, "MENU_3"},
        {command::MenuClose, "MENU_4"},
    };
    mainMenu_ = new ui::LanguageMenu(kItems, platform::pathSet().languageFile, this);
    mainMenu_->setOwner(this);
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

Tavrik_DlgComposite& CTavrikDlg::compositeEditor() {
    if (compositeEditor_ == nullptr) {
        compositeEditor_ = new Tavrik_DlgComposite(*editorSeam_, this);
        addChildDialog(compositeEditor_);
    }
    return *compositeEditor_;
}

CTavrik_DlgProfile* CTavrikDlg::profileManager() const {
    return profileManager_.data();
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

// Messages, commands and timers.

bool CTavrikDlg::event(QEvent* event) {
    if (event->type() != platform::WindowMessageEvent::eventType()) {
        return CBaseDialog::event(event);
    }
    auto* message = static_cast<platform::WindowMessageEvent*>(event);
    qCDebug(windowLog, "message 0x%x wParam 0x%llx lParam %lld", message->message(),
            static_cast<unsigned long long>(message->wParam()),
            static_cast<long long>(message->lParam()));
    message->setResult(
        exited_ ? 0 : handleMessage(message->message(), message->wParam(), message->lParam()));
    return true;
}

std::intptr_t CTavrikDlg::handleMessage(std::uint32_t message, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
    using namespace platform;
    switch (message) {
    case message::Init:
        if (wParam == wparam::Init) {
            finishStartUp();
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
            // keyboard read (and its protocol pause).
            finishStartUp();
            reloadProfileFromKeyboard();
        }
        break;
    case message::DeviceRemoved:
        closeChildDialogs();
        break;
    case message::SliderMoved:
        lightingPanel_->sliderMoved(static_cast<int>(wParam), static_cast<int>(lParam));
        break;
    case message::TimeChanged:
        sync::applyChanges();
        break;
    case kCommandMessage:
        handleCommand(static_cast<int>(wParam));
        break;
    default:
        break;
    }
    return 0;
}

void CTavrikDlg::handleCommand(int commandId) {
    if (!handleWindowCommand(commandId)) {
        handlePanelCommand(commandId);
    }
}

bool CTavrikDlg::handleWindowCommand(int commandId) {
    switch (commandId) {
    case command::Ok:
        sync::applyChanges();
        hideWindow();
        return true;
    case command::Cancel:
        hideWindow();
        return true;
    case command::Apply:
        sync::applyChanges();
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
    case command::Menu:
        showMainMenu();
        return true;
    case command::Import:
        sync::importProfile();
        return true;
    case command::Export:
        sync::exportProfile();
        return true;
    case command::BackupKeyboard:
        backUpKeyboard();
        return true;
    case command::RestoreKeyboard:
        // The user chose the backup over every unapplied edit.
        restoreKeyboard(keyboardPanel_->compositeEditorOpener(),
                        [this] { reloadProfileFromKeyboard(sync::ReloadMode::ReplaceEdits); });
        return true;
    case traycommand::StartWithDesktop:
        tray_->toggleStartWithDesktop();
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

void CTavrikDlg::handleTimer(std::uint32_t timerId) {
    switch (timerId) {
    case platform::timer::BusyAnimation:
        busyIndicator_->advance();
        break;
    case platform::timer::LightingReload:
        timers_->kill(timerId);
        lightingPanel_->reloadFromKeyboard();
        break;
    case platform::timer::ProfileReload:
        timers_->kill(timerId);
        platform::sendWindowMessage(this, platform::message::ProfileReload, platform::wparam::Prof);
        break;
    default:
        break;
    }
}

// Runs once, at the posted start-up message or at a reload that overtook it.
void CTavrikDlg::finishStartUp() {
    if (!startUpPending_) {
        return;
    }
    startUpPending_ = false;
    waitForNamedEvents();
    tray_->create(this, kTrayCallbackMessage, text::languageText("KEYBOARD_TRAY_DESC"),
                  applicationIcon_, kTrayIconId);
    trayState_.change(platform::trayicon::NoKeyboard);
    profileButtons_->updateProfileCaption();
    initialised_.store(true);
    sync::noticeWindowInitialised();
    hideWindow();
    // The keyboard's reload, which comes next, leaves time for it.
    prepareShape();
}

void CTavrikDlg::waitForNamedEvents() {
    if (namedEventsCreation_.joinable()) {
        namedEventsCreation_.join();
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

void CTavrikDlg::reloadProfileFromKeyboard(sync::ReloadMode mode) {
    sync::reloadFromKeyboard(mode);
    const int active = device::readActiveProfile();
    if (profileButtons_->showActive(active)) {
        lightingPanel_->setLightingProfile(active);
    }
    lightingPanel_->reloadFromKeyboard(true);
    profileButtons_->updateProfileCaption();
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

void CTavrikDlg::openProfileManager() {
    CTavrik_DlgProfile dialog(this);
    profileManager_ = &dialog;
    dialog.exec();
}

void CTavrikDlg::restoreDefaults() {
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

void CTavrikDlg::openAboutBox() {
    if (aboutBox_ == nullptr) {
        aboutBox_ = new AboutBox(platform::pathSet().languageFile, this);
    }
    aboutBox_->present(linkAddress_);
}

void CTavrikDlg::showMainMenu() {
    mainMenu_->popup(QCursor::pos());
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
    showNormal();
    raise();
    activateWindow();
    qCDebug(windowLog, "window shown");
}

void CTavrikDlg::makeApplicationWindow() {
    if (windowType() != Qt::Window) {
        setWindowFlags(Qt::Window | kFrameless);
    }
}

void CTavrikDlg::hideWindow() {
    hide();
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

void CTavrikDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 || event->key() == Qt::Key_Help) {
        openHelp();
        return;
    }
    CBaseDialog::keyPressEvent(event);
}

void CTavrikDlg::setTrayIcon(int iconId) {
    if (trayState_.change(iconId) && tray_ != nullptr) {
        tray_->setIcon(iconId);
    }
}

void CTavrikDlg::setApplyEnabled(bool enabled) {
    applyPending_.store(enabled);
    if (ui::CPngButton* apply = button(command::Apply)) {
        apply->setEnabled(enabled);
    }
}

void CTavrikDlg::refreshKeyButtons() {
    if (keyboardPanel_ != nullptr) {
        keyboardPanel_->refreshDescriptions(true);
    }
}

void CTavrikDlg::setBusyIndicatorVisible(bool visible) {
    if (busyIndicator_ != nullptr) {
        busyIndicator_->setVisible(visible);
    }
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
    hideWindow();
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

} // namespace tavrik::app
