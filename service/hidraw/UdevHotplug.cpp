#include "service/hidraw/UdevHotplug.h"

#include "service/Diagnostics.h"

#include <libudev.h>
#include <unistd.h>

namespace tavrik::service {
namespace {

class UdevHotplug final : public HotplugSource {
public:
    UdevHotplug(udev* context, udev_monitor* monitor) : context_(context), monitor_(monitor) {}
    ~UdevHotplug() override {
        udev_monitor_unref(monitor_);
        udev_unref(context_);
    }
    UdevHotplug(const UdevHotplug&) = delete;
    UdevHotplug& operator=(const UdevHotplug&) = delete;

    int descriptor() const override { return udev_monitor_get_fd(monitor_); }

    bool takeChanges() override {
        bool changed = false;
        // The monitor's socket does not block: this ends when it is empty.
        while (udev_device* device = udev_monitor_receive_device(monitor_)) {
            changed = true;
            udev_device_unref(device);
        }
        return changed;
    }

private:
    udev* context_;
    udev_monitor* monitor_;
};

} // namespace

bool udevRunning(const std::string& controlPath) {
    return ::access(controlPath.c_str(), F_OK) == 0;
}

std::unique_ptr<HotplugSource> createUdevHotplug() {
    if (!udevRunning()) {
        return nullptr;
    }
    udev* context = udev_new();
    udev_monitor* monitor =
        context != nullptr ? udev_monitor_new_from_netlink(context, "udev") : nullptr;
    if (monitor == nullptr ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        diagnostic(kDiagnosticErrors, "hidraw: no udev monitor, devices are looked for instead");
        udev_monitor_unref(monitor);
        udev_unref(context);
        return nullptr;
    }
    return std::make_unique<UdevHotplug>(context, monitor);
}

} // namespace tavrik::service
