#pragma once
// The process-wide ports record: the main window and the prompter as the
// model sees them. Until the application (or a test) installs its own, both
// are quiet stand-ins: messages go nowhere, questions get their default
// answer, dialogs are cancelled, and the window reports itself initialised.

#include "platform/MainWindowPort.h"
#include "platform/Prompter.h"

namespace tavrik::platform {

struct PortSet {
    MainWindowPort* mainWindow;
    Prompter* prompter;
};

// Never returns null members.
PortSet& ports();
MainWindowPort& mainWindow();
Prompter& prompter();

// nullptr puts the quiet stand-in back.
void installMainWindowPort(MainWindowPort* port);
void installPrompter(Prompter* prompter);
void resetPorts();

} // namespace tavrik::platform
