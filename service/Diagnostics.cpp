#include "service/Diagnostics.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace tavrik::service {
namespace {

std::atomic<std::int32_t> currentLevel{0};

} // namespace

std::int32_t setDiagnosticLevel(std::int32_t level) {
    return currentLevel.exchange(level);
}

std::int32_t diagnosticLevel() {
    return currentLevel.load();
}

void diagnostic(std::int32_t level, const char* format, ...) {
    if (currentLevel.load() < level) {
        return;
    }
    char line[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(line, sizeof line, format, arguments);
    va_end(arguments);
    // One fprintf per line keeps lines of different threads apart.
    std::fprintf(stderr, "VezAror: %s\n", line);
}

} // namespace tavrik::service
