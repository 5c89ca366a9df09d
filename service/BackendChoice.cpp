#include "service/BackendChoice.h"

#include "service/Diagnostics.h"
#include "service/hidraw/HidapiLibrary.h"
#include "service/hidraw/HidrawBackend.h"
#include "service/hidraw/UdevHotplug.h"
#include "service/virtual/VirtualBackend.h"

#include <cstdlib>
#include <string>

namespace tavrik::service {

std::unique_ptr<Backend> createBackend(std::string_view name) {
    if (name.empty() || name == "hidraw") {
        return std::make_unique<HidrawBackend>(std::make_unique<HidapiLibrary>(),
                                               HidrawBackend::kScanInterval, createUdevHotplug());
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
