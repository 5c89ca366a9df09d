#include "service/BackendChoice.h"

#include "service/Diagnostics.h"
#include "service/hidraw/DevNodeHotplug.h"
#include "service/hidraw/HidapiLibrary.h"
#include "service/hidraw/HidrawBackend.h"
#include "service/hidraw/UdevHotplug.h"
#include "service/virtual/VirtualBackend.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

namespace tavrik::service {

namespace {

// udev's monitor where udev runs: it tells of a node once its rules have
// given it its permissions. Elsewhere a watch on the device folder; looking
// every scan interval only where neither can be had.
std::unique_ptr<HotplugSource> createHotplug() {
    std::unique_ptr<HotplugSource> source = createUdevHotplug();
    return source != nullptr ? std::move(source) : createDevNodeHotplug();
}

} // namespace

std::unique_ptr<Backend> createBackend(std::string_view name) {
    if (name.empty() || name == "hidraw") {
        return std::make_unique<HidrawBackend>(std::make_unique<HidapiLibrary>(),
                                               HidrawBackend::kScanInterval, createHotplug());
    }
    if (name == "virtual") {
        return std::make_unique<VirtualBackend>(VirtualSettings::fromEnvironment());
    }
    diagnostic(kDiagnosticErrors, "unknown backend '%s' (hidraw or virtual)",
               std::string(name).c_str());
    return nullptr;
}

std::unique_ptr<Backend> createBackendFromEnvironment() {
    const char* name = std::getenv("VEZAROR_BACKEND");
    return createBackend(name != nullptr ? name : "");
}

} // namespace tavrik::service
