#include "app/tray/TrayActivation.h"

namespace tavrik::app {

TrayActivation::TrayActivation(std::string_view platformName, bool statusNotifierHost)
    : singleActivationOpens_(platformName != "xcb" || statusNotifierHost),
      menuNeedsShownWindow_(platformName.starts_with("wayland")) {}

bool TrayActivation::opensWindow(Click click) {
    if (click == Click::Double) {
        singleActivationOpens_ = false;
        return true;
    }
    return singleActivationOpens_;
}

} // namespace tavrik::app
