#include "platform/Crc32.h"

#include <array>

namespace tavrik::platform {
namespace {

// Eight bits in one step: the virtual keyboard checks its whole stored state
// each time it starts.
constexpr std::array<std::uint32_t, 256> kByteSteps = [] {
    std::array<std::uint32_t, 256> steps{};
    for (std::uint32_t value = 0; value < steps.size(); ++value) {
        std::uint32_t crc = value;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        steps[value] = crc;
    }
    return steps;
}();

} // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : bytes) {
        crc = (crc >> 8) ^ kByteSteps[(crc ^ byte) & 0xFFu];
    }
    return ~crc;
}

} // namespace tavrik::platform
