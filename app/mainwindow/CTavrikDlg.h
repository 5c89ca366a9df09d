#pragma once
// The program's one main window: a skinned dialog ("Skins/Main.ini") that
// hosts the on-screen keyboard, the lighting panel and the profile buttons,
// lives hidden with its icon in the tray, and shows itself only through
// showMainWindow. Other instances, the device workers and the keyboard's
// events reach it through window messages (MainWindowPort.h) and timers;
// its buttons and menus through the command message with their ids
// (MainWindowIds.h).
//
// Life: the instance question is decided before the window is made (by the
// start routine, or by the constructor given the command line); initialise()
// builds the window and posts INIT to itself, whose handling adds the tray
// icon and marks the window initialised; exitProgram() tears down and ends
// the application's event loop.
//
// Its definitions are kept by concern: CTavrikDlg.cpp (construction and
// initialisation), CTavrikDlgMessages.cpp (window messages, timers, keys),
// CTavrikDlgCommands.cpp (buttons and menus), CTavrikDlgSeams.cpp (the ports
// and seams it installs and answers), CTavrikDlgStartAndExit.cpp (the end of
// the start, showing and hiding, the exit).

#include "app/mainwindow/ClockJumpWatch.h"
#include "app/shared/MainSkinImages.h"
#include "app/startup/InstanceDecision.h"
#include "app/tray/TrayIconState.h"
#include "platform/ClockSetTimer.h"
#include "platform/InstanceMessenger.h"
#include "platform/NamedEvents.h"
#include "platform/QtPrompter.h"
#include "sync/ProfileActivation.h"
#include "ui/CBaseDialog.h"

#include <QIcon>
#include <QPointer>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class QEventLoop;
class QLabel;
class QTimer;

namespace tavrik::ui {
class CPngButton;
class LanguageMenu;
} // namespace tavrik::ui

namespace tavrik::app {

class AboutBox;
class BackgroundNotice;
class BusyIndicator;
class CompositeEditorOpener;
class InputDuringWork;
class CTavrik_DlgProfile;
class CTrayIcon;
class FlipButtons;
class KeyboardPanel;
class LightingPanel;
class MainWindowBusActions;
class MainWindowFocusFollowing;
class MainWindowCompositeEditor;
class ProfileButtons;
class SessionBusService;
class Tavrik_DlgComposite;
class ProfileSwitching;
class WindowTimers;
class ZonePainting;

class CTavrikDlg final : public ui::CBaseDialog {
    Q_OBJECT
public:
    // The window of the instance that `instance` decided; it keeps the
    // instance mutex until the teardown. Needs the path set and the language
    // texts.
    explicit CTavrikDlg(InstanceDecision instance);
    // Runs the instance logic with `arguments` (program name first) first:
    // hands over to a running instance, or ends for "/Kill", or becomes the
    // first instance and launches the daemon.
    explicit CTavrikDlg(const QStringList& arguments);
    ~CTavrikDlg() override;

    // This process is to end with exit code 0 without a window.
    bool endsAtStart() const { return instance_.outcome == InstanceOutcome::EndProcess; }

    // Binds the keyboard's service, builds the window from the skin and posts
    // INIT. Ends the process with exit code 0, without a message, when the
    // service cannot be bound or a skin image is missing.
    void initialise();

    // Shows the window in front, as an application window; without a
    // keyboard it only says so. Where no notification area shows the icon,
    // the first showing ever says that closing the window minimises it
    // (BackgroundNotice.h).
    void showMainWindow();
    // Tears down and ends the event loop. Returns false, with nothing
    // released, when a child dialog refuses to close.
    bool exitProgram();
    // The user's Exit (the Close button, the window's and the tray's menu):
    // with unapplied changes, the save question of a profile switch first;
    // the program ends unless changes are still pending after it.
    void exitAfterAsking();

    // A dialog of the window (profile manager, composite editor): asked to
    // close when the keyboard goes away and before the program exits.
    void addChildDialog(QWidget* dialog);

    // The composite editor that a click on a key opens, and the lighting
    // editor's zone painting state that clicks are routed to while it is on
    // (CompositeEditorOpener.h, ZonePainting.h). Null puts back the default:
    // no editor, and the lighting panel's zone painting. The window does
    // not own them.
    void setCompositeEditorOpener(CompositeEditorOpener* opener);
    void setZonePainting(ZonePainting* painting);

    // Makes profile `index` active on the keyboard, with the editor check and
    // the save question (ProfileSwitching.h); the lighting panel's zone
    // painting calls it too. Leaves the profile buttons and the lighting
    // profile as they are.
    bool switchProfile(int index);
    // Profile button `profile` (0..2): shows that profile's lighting, leaves
    // zone painting, and switches unless the profile is active already.
    void chooseProfile(int profile);
    // The current-profile button: the profile manager, modally.
    void openProfileManager();
    void openApplicationProfiles();
    // Follows what the keyboard holds: the working set (keeping unapplied
    // edits, or not), the profile buttons, the lighting and the caption.
    // Whether the reload ran now (false: it waits for other keyboard work).
    bool reloadProfileFromKeyboard(sync::ReloadMode mode = sync::ReloadMode::KeepEdits);

    // Long keyboard work (Apply, a reload, import, backup, restore) runs on a
    // worker thread (sync/KeyboardWork.h) while the window serves its events:
    // it paints, shows its tips, can be moved, and answers the tray and the
    // workers. Meanwhile the window takes no input that could reach the
    // keyboard (InputDuringWork.h), and of its messages and commands
    // (holdDuringWork) those that would run beside the work wait for its end,
    // and the others that would change the keyboard are refused. With
    // `animate` the busy indicator runs meanwhile (Apply runs its own).
    // False, with nothing run, while other work runs.
    bool runKeyboardWork(const std::function<void()>& work, bool animate = true);
    bool isKeyboardWorkRunning() const { return keyboardWorkLoop_ != nullptr; }
    // Runs `task` now, or once the keyboard work under way has ended.
    void runAfterKeyboardWork(std::function<void()> task);
    // runKeyboardWork as a runner for the menu's commands.
    std::function<void(const std::function<void()>&)> keyboardWorkRunner() {
        return [this](const std::function<void()>& work) { runKeyboardWork(work); };
    }
    // Restore defaults: asks MAIN_PROMPT_DEFAULT (No preselected); on Yes the
    // keys of the active profile's layer return to their own functions (and,
    // while zones are painted, the lighting to its defaults), then Apply.
    void restoreDefaults();

    // What MainWindowPort asks of the window, on the window's thread
    // (MainWindowBridge hands calls over from other threads).
    bool isInitialised() const { return initialised_.load(); }
    // Hides the window; a shown one is minimised instead where no
    // notification area could bring it back (CTrayIcon::isHostAvailable), so
    // that the desktop's task switcher still has it.
    void hideWindow();
    void setTrayIcon(int iconId);
    int lastNormalTrayIcon() const { return trayState_.lastNormal(); }
    void setApplyEnabled(bool enabled);
    bool isApplyEnabled() const { return applyPending_.load(); }
    // Any thread: the pending state alone, before the button follows.
    void noteApplyPending(bool pending) { applyPending_.store(pending); }
    void refreshKeyButtons();
    void setBusyIndicatorVisible(bool visible);
    WindowTimers& timers() { return *timers_; }

    // The window's pieces.
    // Made when first needed: at the end of the start, or first thing in a
    // start that stays in the tray.
    CTrayIcon& trayIcon();
    int trayIconId() const { return trayState_.current(); }
    KeyboardPanel& keyboardPanel() const { return *keyboardPanel_; }
    LightingPanel& lightingPanel() const { return *lightingPanel_; }
    ProfileButtons& profileButtons() const { return *profileButtons_; }
    MainWindowFocusFollowing& focusFollowing() const { return *focusFollowing_; }
    // Whether the session bus interface is served (desktop scripts reach it).
    bool servesSessionBus() const;
    FlipButtons& flipButtons() const { return *flipButtons_; }
    ProfileSwitching& profileSwitching() const { return *profileSwitching_; }
    // Null while the profile manager is closed.
    CTavrik_DlgProfile* profileManager() const;
    BusyIndicator& busyIndicator() const { return *busyIndicator_; }
    ui::LanguageMenu& mainMenu() const { return *mainMenu_; }
    BackgroundNotice& backgroundNotice();
    // The window's own buttons by command id (OK, Cancel, Apply, the title
    // bar's, the bank light ...); null for another id.
    ui::CPngButton* button(int controlId) const;
    // Null until the About box was first opened.
    AboutBox* aboutBox() const;
    // The composite editor, made when a key first opens it; it lives as long
    // as the window, which closes it when the keyboard goes away and at exit.
    Tavrik_DlgComposite& compositeEditor();
    // Null until then.
    const Tavrik_DlgComposite* compositeEditorIfMade() const { return compositeEditor_; }
    const std::string& linkAddress() const { return linkAddress_; }
    const platform::InstanceServer& instanceServer() const { return server_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void setVisible(bool visible) override;
    void reject() override;

private:
    // Initialisation, in its order.
    void publishWindow();
    void bindDevice();
    void createWorkingSet();
    void loadSkinImagesOrExit();
    void readLinkAddress();
    void createPanels();
    void createTitleBar();
    void createToolBar();
    void createIndicators();
    void createBottomBar();
    void makeToolWindow();
    void applyProfileCaptions();
    void createMainMenu();
    void createBackgroundNotice();
    void createKeyboardFilter();
    void createTimeChangeWatch();
    // Sends TimeChanged when the wall clock moved against the time that passed.
    void noticeClockChange();
    ui::CPngButton* createButton(int controlId, std::u16string_view skinKey);

    // Messages, commands and timers.
    std::intptr_t handleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    void handleCommand(int commandId);
    bool handleWindowCommand(int commandId);
    bool handlePanelCommand(int commandId);
    void handleTimer(std::uint32_t timerId);
    // True when the message was taken while keyboard work runs: kept for its
    // end, or refused.
    bool holdDuringWork(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
    void replayAfterWork();
    // Apply, off the window's thread.
    void applyChanges();
    void finishStartUp();
    void showTrayIcon();
    // The first keyboard of a start that opens the window: the window shows
    // as its read begins.
    bool opensWindowAtStart() const;
    // The start will open the window: a keyboard is here, and the start was
    // not hidden.
    bool startOpensWindow() const;
    void finishStartUpAfterPaint();
    void openAtStart();
    void holdInputUntilRead();
    void releaseInputHold();
    void showBank();
    bool closeChildDialogs();
    void openAboutBox();
    void showMainMenu();
    void makeApplicationWindow();
    // Shown minimised: for "/Start", and for a hidden window whose
    // notification area went away, where there is nothing else to wait in.
    void showMinimisedWindow();
    void keepMinimisedStart();
    void noticeTrayHostLost();
    bool tearDown();
    void waitForNamedEvents();

    InstanceDecision instance_;
    platform::InstanceServer server_;
    platform::NamedEvents namedEvents_;
    // Creates the named events beside the start, which waits for it before
    // the window counts as initialised; joined before the events go.
    std::jthread namedEventsCreation_;
    platform::QtPrompter prompter_;
    TrayIconState trayState_;
    std::atomic<bool> initialised_{false};
    // From posting the start-up message until the start is finished.
    bool startUpPending_ = false;
    bool trayShown_ = false;
    // The window's first paint, and the start's end waiting for it.
    bool painted_ = false;
    bool startUpAfterPaint_ = false;
    // The window's input from its showing at start to the end of the read.
    std::unique_ptr<InputDuringWork> startHold_;
    std::atomic<bool> applyPending_{false};
    // Set once showMainWindow has shown the window: before that nothing
    // shows it, so the window never appears while it starts.
    bool showAllowed_ = false;
    // Shown minimised by the program, not yet brought up by the user.
    bool minimisedUntilShown_ = false;
    bool exited_ = false;
    QIcon applicationIcon_;
    std::optional<MainSkinImages> images_;
    std::string linkAddress_;
    std::unique_ptr<CTrayIcon> tray_;
    std::unique_ptr<MainWindowBusActions> busActions_;
    // Profiles that follow the focused application; before the bus, which
    // reaches it.
    std::unique_ptr<MainWindowFocusFollowing> focusFollowing_;
    // The session bus interface; a child of the window, which it serves.
    SessionBusService* bus_ = nullptr;
    WindowTimers* timers_ = nullptr;
    KeyboardPanel* keyboardPanel_ = nullptr;
    LightingPanel* lightingPanel_ = nullptr;
    ProfileButtons* profileButtons_ = nullptr;
    FlipButtons* flipButtons_ = nullptr;
    ProfileSwitching* profileSwitching_ = nullptr;
    QPointer<CTavrik_DlgProfile> profileManager_;
    BusyIndicator* busyIndicator_ = nullptr;
    ui::LanguageMenu* mainMenu_ = nullptr;
    BackgroundNotice* backgroundNotice_ = nullptr;
    ui::CPngButton* defaultsButton_ = nullptr;
    QLabel* versionLabel_ = nullptr;
    ClockJumpWatch clockWatch_;
    std::unique_ptr<platform::ClockSetTimer> clockSetTimer_;
    QPointer<AboutBox> aboutBox_;
    std::unique_ptr<MainWindowCompositeEditor> editorSeam_;
    Tavrik_DlgComposite* compositeEditor_ = nullptr;
    std::vector<QPointer<QWidget>> childDialogs_;
    // While keyboard work runs: its loop, and what waits for its end.
    QEventLoop* keyboardWorkLoop_ = nullptr;
    struct HeldMessage {
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    std::vector<HeldMessage> heldMessages_;
    std::vector<std::function<void()>> heldTasks_;
    bool refreshHeld_ = false;
    bool lightingReloadHeld_ = false;
    std::map<int, ui::CPngButton*> buttons_;
};

} // namespace tavrik::app
