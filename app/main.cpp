// The program: the start routine with the main window.

#include "app/CTavrikDlg.h"
#include "app/InitInstance.h"
#include "device/WorkerThreads.h"

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
    // The window waited for its workers as it went; any started since end
    // here, before the process-wide state goes away.
    tavrik::device::joinAllWorkers();
    return exitCode;
}
