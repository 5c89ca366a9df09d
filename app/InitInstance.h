#pragma once
// The program's start routine: settings root, path set, language texts, then
// the main window, which runs until it is done. The main window's constructor
// decides the instance question (runInstanceLogic); when this process is to
// end, the factory returns no window and the routine returns 0 at once.

#include <QDialog>
#include <functional>
#include <memory>

class QApplication;

namespace tavrik::app {

// The organisation under which the program's settings are kept.
inline constexpr const char* kSettingsRoot = "Tavrik_Lumora";
inline constexpr const char* kApplicationName = "Tavrik";

using MainWindowFactory = std::function<std::unique_ptr<QDialog>()>;

// Runs the application until the main window finishes (QDialog::done) and
// returns the process's exit code, 0. The window is not shown here: it starts
// hidden and shows itself. It runs in the application's event loop rather
// than QDialog::exec, whose loop would end the first time the window hides.
int initInstance(QApplication& application, const MainWindowFactory& createMainWindow);

} // namespace tavrik::app
