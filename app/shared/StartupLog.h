#pragma once
// The start-up's log ("tavrik.startup"): one debug line at each step from
// main() to the window's first paint, so that where the time goes can be
// read off with a time stamp in the message pattern, for example
//   QT_LOGGING_RULES=tavrik.startup.debug=true QT_MESSAGE_PATTERN='%{time boot} %{message}'
// (boot time is the monotonic clock a probe started the program by).

#include <QLoggingCategory>

namespace tavrik::app {

Q_DECLARE_LOGGING_CATEGORY(startupLog)

} // namespace tavrik::app
