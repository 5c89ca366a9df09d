#pragma once
// The backend named by VEZAROR_BACKEND: "hidraw" (also when unset or empty)
// or "virtual".

#include "service/Backend.h"

#include <memory>
#include <string_view>

namespace tavrik::service {

// Null for an unknown name.
std::unique_ptr<Backend> createBackend(std::string_view name);
std::unique_ptr<Backend> createBackendFromEnvironment();

} // namespace tavrik::service
