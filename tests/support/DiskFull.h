#pragma once
// A disk that takes no more bytes, for as long as it lives: every save made
// meanwhile fails as on a full disk (ENOSPC).

#include "platform/AtomicFile.h"

#include <cerrno>

namespace tavrik::testing {

class DiskFull {
public:
    DiskFull() {
        platform::setWriteFunctionForTesting([](int, const void*, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
    }
    ~DiskFull() { platform::setWriteFunctionForTesting(nullptr); }
    DiskFull(const DiskFull&) = delete;
    DiskFull& operator=(const DiskFull&) = delete;
};

} // namespace tavrik::testing
