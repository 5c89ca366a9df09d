#pragma once
// Small helpers for tests that lay down INI files byte by byte.

#include "platform/AtomicFile.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tavrik::testing {

inline bool writeBytes(const std::string& path, std::string_view bytes) {
    return platform::writeFileAtomically(
        path, {std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                             bytes.size())});
}

inline std::string readBytes(const std::string& path) {
    std::string bytes;
    return platform::readWholeFile(path, bytes) ? bytes : std::string("<missing>");
}

// UTF-16 text as little-endian or big-endian bytes, without byte order mark.
inline std::string utf16Bytes(std::u16string_view text, bool bigEndian = false) {
    std::string bytes;
    for (const char16_t unit : text) {
        const auto low = static_cast<char>(unit & 0xFF);
        const auto high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

} // namespace tavrik::testing
