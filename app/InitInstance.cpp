#include "app/InitInstance.h"

#include "platform/PathSet.h"
#include "text/LanguageFile.h"

#include <QApplication>
#include <QStandardPaths>

namespace tavrik::app {

int initInstance(QApplication& application, const MainWindowFactory& createMainWindow) {
    QCoreApplication::setOrganizationName(QString::fromLatin1(kSettingsRoot));
    QCoreApplication::setApplicationName(QString::fromLatin1(kApplicationName));
    platform::installPathSet(platform::buildPathSet(
        platform::findExecutablePath(),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString()));
    text::loadLanguageTexts(platform::pathSet().languageFile);

    std::unique_ptr<QDialog> mainWindow = createMainWindow();
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
