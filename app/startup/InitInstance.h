#pragma once
// The program's start routine. Everything up to the instance question needs
// no display, so it runs with a QCoreApplication: the settings root, the
// path set, the overlay of the program folder, the language texts, then the
// instance logic (runInstanceLogic). A process that is to end there (a
// second start, "/Kill") ends with 0, also where no display can be reached,
// having told the running instance. Only the first instance builds the
// QApplication and its main window, which runs until it is done.

#include "app/startup/InstanceDecision.h"
#include "platform/IniOverlay.h"

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

namespace tavrik::app {

// Builds the first instance's main window from the instance decision (which
// holds the instance mutex); nothing to end the process with 0.
using MainWindowFactory = std::function<std::unique_ptr<QDialog>(InstanceDecision decision)>;

// What the start needs before the instance question, for the executable at
// `executablePath`: the settings root, the path set, the language texts,
// and the per-user overlay of the program folder, which takes the writes
// into that folder where it cannot be written (`folderIsWritable`, the real
// check when empty).
void prepareStart(const std::string& executablePath,
                  platform::WritableFolderCheck folderIsWritable = {});

// Runs the start with the command line and returns the process's exit code,
// 0. The window is not shown here: it starts hidden and shows itself. It
// runs in the application's event loop rather than QDialog::exec, whose loop
// would end the first time the window hides. `beforeDisplay` runs in the
// first instance only, just before the connection to the display: what it
// starts on other threads goes on beside that connection.
int initInstance(int& argc, char** argv, const MainWindowFactory& createMainWindow,
                 const std::function<void()>& beforeDisplay = {});

} // namespace tavrik::app
