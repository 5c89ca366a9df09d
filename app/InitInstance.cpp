#include "app/InitInstance.h"

#include "app/InstanceStartup.h"
#include "platform/PathSet.h"
#include "text/LanguageFile.h"

#include <QApplication>
#include <QStandardPaths>
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

} // namespace

void prepareStart(const std::string& executablePath,
                  platform::WritableFolderCheck folderIsWritable) {
    nameApplication();
    platform::installPathSet(platform::buildPathSet(
        executablePath,
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString()));
    // Where the program's folder can be written the overlay changes nothing.
    platform::setIniOverlay({platform::pathSet().exeFolder, platform::defaultIniOverlayRoot(),
                             std::move(folderIsWritable)});
    text::loadLanguageTexts(platform::pathSet().languageFile);
}

int initInstance(int& argc, char** argv, const MainWindowFactory& createMainWindow) {
    InstanceDecision decision = decideWithoutDisplay(argc, argv);
    if (decision.outcome == InstanceOutcome::EndProcess) {
        return 0;
    }
    QApplication application(argc, argv);
    nameApplication();
    std::unique_ptr<QDialog> mainWindow = createMainWindow(std::move(decision));
    if (!mainWindow) {
        return 0;
    }
    application.setQuitOnLastWindowClosed(false);
    QObject::connect(mainWindow.get(), &QDialog::finished, &application, &QCoreApplication::quit);
    application.exec();
    mainWindow.reset();
    return 0;
}

} // namespace tavrik::app
