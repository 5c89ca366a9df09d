#include "platform/UniqueFd.h"

#include <unistd.h>
#include <utility>

namespace tavrik::platform {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        reset(other.release());
    }
    return *this;
}

int UniqueFd::release() {
    return std::exchange(descriptor_, -1);
}

void UniqueFd::reset(int descriptor) {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
    }
    descriptor_ = descriptor;
}

} // namespace tavrik::platform
