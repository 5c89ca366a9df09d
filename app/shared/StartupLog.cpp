#include "app/shared/StartupLog.h"

namespace tavrik::app {

Q_LOGGING_CATEGORY(startupLog, "tavrik.startup", QtInfoMsg)

} // namespace tavrik::app
