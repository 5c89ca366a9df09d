// The program: the start routine with the main window.

#include "app/mainwindow/CTavrikDlg.h"
#include "app/shared/StartupLog.h"
#include "app/startup/InitInstance.h"
#include "device/LinkShutdown.h"
#include "device/ServiceBinding.h"

#include <memory>
#include <utility>

int main(int argc, char** argv) {
    using namespace tavrik::app;
    qCDebug(startupLog, "main");
    const int exitCode = initInstance(
        argc, argv,
        [](InstanceDecision decision) -> std::unique_ptr<QDialog> {
            auto window = std::make_unique<CTavrikDlg>(std::move(decision));
            window->initialise();
            return window;
        },
        // The window's binding of the service takes what this started.
        [] { tavrik::device::startBindingService(); });
    // The window waited for its workers as it went. The service's threads
    // may still call back and start more: end them, then those workers,
    // before the process-wide state goes away.
    tavrik::device::shutDownDeviceLink();
    return exitCode;
}
