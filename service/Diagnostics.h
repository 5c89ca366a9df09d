#pragma once
// The service's diagnostic output on standard error, filtered by the level
// that Debug() sets: 0 quiet, 1 errors, 2 every request.

#include <cstdint>

namespace tavrik::service {

inline constexpr std::int32_t kDiagnosticErrors = 1;
inline constexpr std::int32_t kDiagnosticRequests = 2;

// Sets the level and returns the previous one.
std::int32_t setDiagnosticLevel(std::int32_t level);
std::int32_t diagnosticLevel();

// printf-style message, written as one line when `level` is enabled.
void diagnostic(std::int32_t level, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace tavrik::service
