// The program as it starts, with one addition for looking at the composite
// editor by hand before the on-screen keys open it: once the main window
// shows, the editor opens for the key button whose id is the first argument
// (1058, key A, by default; 1143 opens it for macros only). The main window
// stays, so its Apply writes what the editor applied.

#include "app/CTavrikDlg.h"
#include "app/InitInstance.h"
#include "app/Tavrik_DlgComposite.h"
#include "device/Channels.h"
#include "device/LinkShutdown.h"
#include "keyboard/AssignmentTable.h"
#include "keyboard/PanelKeyList.h"

#include <QApplication>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <utility>

namespace {

using namespace tavrik;

int keyRowOf(int buttonId) {
    if (const auto g = keyboard::gButtonIndexOf(buttonId)) {
        return keyboard::kFirstGKeyRow + static_cast<int>(*g) + 9 * device::currentBank();
    }
    if (const auto position = keyboard::panelPositionOf(buttonId)) {
        return keyboard::keyIndexOf(keyboard::PanelKeyList[*position].code);
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    const int buttonId = argc > 1 ? std::atoi(argv[1]) : 1058;
    const int exitCode = app::initInstance(
        argc, argv, [buttonId](app::InstanceDecision decision) -> std::unique_ptr<QDialog> {
            auto window = std::make_unique<app::CTavrikDlg>(std::move(decision));
            window->initialise();
            app::CTavrikDlg* shown = window.get();
            auto* wait = new QTimer(shown);
            QObject::connect(wait, &QTimer::timeout, shown, [shown, wait, buttonId] {
                if (!shown->isVisible() || keyRowOf(buttonId) < 0) {
                    return;
                }
                wait->stop();
                shown->compositeEditor().edit({keyRowOf(buttonId), 0, buttonId, false});
            });
            wait->start(200);
            return window;
        });
    device::shutDownDeviceLink();
    return exitCode;
}
