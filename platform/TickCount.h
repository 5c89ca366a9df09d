#pragma once
// A millisecond tick count from the monotonic clock, which setting the
// system time does not move. It wraps around after 2^32 ms; differences of
// two ticks are taken modulo 2^32, so a difference across the wrap is right.

#include <cstdint>
#include <functional>

namespace tavrik::platform {

using TickSource = std::function<std::uint32_t()>;

std::uint32_t tickCount();

// The milliseconds from `earlier` to `later`.
inline std::uint32_t ticksBetween(std::uint32_t earlier, std::uint32_t later) {
    return later - earlier;
}

} // namespace tavrik::platform
