// The program: the start routine with the main window.

#include "app/CTavrikDlg.h"
#include "app/InitInstance.h"
#include "device/LinkShutdown.h"

#include <QApplication>
#include <memory>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const int exitCode = tavrik::app::initInstance(application, []() -> std::unique_ptr<QDialog> {
        auto window = std::make_unique<tavrik::app::CTavrikDlg>(QCoreApplication::arguments());
        if (window->endsAtStart()) {
            return nullptr;
        }
        window->initialise();
        return window;
    });
    // The window waited for its workers as it went. The service's threads
    // may still call back and start more: end them, then those workers,
    // before the process-wide state goes away.
    tavrik::device::shutDownDeviceLink();
    return exitCode;
}
