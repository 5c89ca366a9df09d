#pragma once
// CRC-32 as zip and PNG use it (reflected polynomial 0xEDB88320).

#include <cstdint>
#include <span>

namespace tavrik::platform {

std::uint32_t crc32(std::span<const std::uint8_t> bytes);

} // namespace tavrik::platform
