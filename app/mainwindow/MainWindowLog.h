#pragma once
// The main window's log ("tavrik.window"), shared by the files of CTavrikDlg.

#include <QLoggingCategory>

namespace tavrik::app {

Q_DECLARE_LOGGING_CATEGORY(windowLog)

} // namespace tavrik::app
