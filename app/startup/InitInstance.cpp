#include "app/startup/InitInstance.h"

#include "app/shared/SettingsRoot.h"
#include "app/shared/StartupLog.h"
#include "app/startup/InstanceStartup.h"
#include "platform/HomeFolder.h"
#include "platform/MainWindowPort.h"
#include "platform/PathSet.h"
#include "platform/RunningMark.h"
#include "platform/TerminationSignals.h"
#include "platform/WindowMessage.h"
#include "text/LanguageFile.h"

#include <QApplication>
#include <QPointer>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <memory>
#include <utility>

namespace tavrik::app {
namespace {

void nameApplication() {
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsRoot));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
}

// Decides the instance question without a display.
InstanceDecision decideWithoutDisplay(int& argc, char** argv) {
    const QCoreApplication application(argc, argv);
    prepareStart(platform::findExecutablePath());
    return runInstanceLogic(QCoreApplication::arguments());
}

// Ends the window in order when the process is told to end from outside: a
// termination signal, or a session manager that quits the application at a
// logout. Both go the way of "/Kill" from another instance: no question,
// the whole teardown, exit code 0; nothing is sent to a window that has
// ended already.
void endInOrderOnRequest(QApplication& application, QDialog& window,
                         platform::TerminationSignals& termination) {
    const QPointer<QDialog> target(&window);
    const auto ended = std::make_shared<bool>(false);
    QObject::connect(&window, &QDialog::finished, &window, [ended] { *ended = true; });
    const auto end = [target, ended] {
        if (target != nullptr && !*ended) {
            platform::sendWindowMessage(target, platform::message::Kill, platform::wparam::Kill);
        }
    };
    if (termination.valid()) {
        auto* notifier =
            new QSocketNotifier(termination.descriptor(), QSocketNotifier::Read, &window);
        QObject::connect(notifier, &QSocketNotifier::activated, &window, [&termination, end] {
            if (termination.takeSignal() != 0) {
                end();
            }
        });
    }
    QObject::connect(&application, &QCoreApplication::aboutToQuit, &window, end);
}

} // namespace

void prepareStart(const std::string& executablePath,
                  platform::WritableFolderCheck folderIsWritable) {
    nameApplication();
    platform::installPathSet(platform::buildPathSet(
        executablePath,
        platform::documentsFolder(
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString())));
    // Where the program's folder can be written the overlay changes nothing.
    platform::setIniOverlay({platform::pathSet().exeFolder, platform::defaultIniOverlayRoot(),
                             std::move(folderIsWritable)});
    text::loadLanguageTexts(platform::pathSet().languageFile);
}

int initInstance(int& argc, char** argv, const MainWindowFactory& createMainWindow,
                 const std::function<void()>& beforeDisplay) {
    InstanceDecision decision = decideWithoutDisplay(argc, argv);
    qCDebug(startupLog, "instance question answered");
    if (decision.outcome == InstanceOutcome::EndProcess) {
        return 0;
    }
    // tavrikctl, from any shell of the user, sees that the program runs.
    platform::RunningMark running;
    running.hold();
    if (beforeDisplay) {
        beforeDisplay();
    }
    QApplication application(argc, argv);
    nameApplication();
    qCDebug(startupLog, "connected to the display");
    // Before the window is built: a signal that comes while it starts waits
    // in the pipe for the event loop.
    platform::TerminationSignals termination;
    std::unique_ptr<QDialog> mainWindow = createMainWindow(std::move(decision));
    if (!mainWindow) {
        return 0;
    }
    qCDebug(startupLog, "window built");
    application.setQuitOnLastWindowClosed(false);
    QObject::connect(mainWindow.get(), &QDialog::finished, &application, &QCoreApplication::quit);
    endInOrderOnRequest(application, *mainWindow, termination);
    application.exec();
    mainWindow.reset();
    return 0;
}

} // namespace tavrik::app
