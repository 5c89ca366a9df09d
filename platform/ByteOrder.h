#pragma once
// Little-endian field access for every binary layout of the program: key
// records, macro records, profile files, command packets and keyboard images.
// Layouts are read and written byte by byte, never by casting structs.

#include <cstddef>
#include <cstdint>

namespace tavrik::platform {

constexpr std::uint16_t readU16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

constexpr std::uint32_t readU32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

constexpr std::int32_t readI32(const std::uint8_t* bytes) {
    return static_cast<std::int32_t>(readU32(bytes));
}

constexpr void writeU16(std::uint8_t* bytes, std::uint16_t value) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void writeU32(std::uint8_t* bytes, std::uint32_t value) {
    bytes[0] = static_cast<std::uint8_t>(value);
    bytes[1] = static_cast<std::uint8_t>(value >> 8);
    bytes[2] = static_cast<std::uint8_t>(value >> 16);
    bytes[3] = static_cast<std::uint8_t>(value >> 24);
}

constexpr void writeI32(std::uint8_t* bytes, std::int32_t value) {
    writeU32(bytes, static_cast<std::uint32_t>(value));
}

// A 32-bit tag or message parameter written as characters, first character in
// the most significant byte: fourCharCode("MAIN") == 0x4D41494E, fourCharCode("LED") == 0x004C4544.
constexpr std::uint32_t fourCharCode(const char* text) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; text[i] != '\0'; ++i) {
        value = (value << 8) | static_cast<std::uint8_t>(text[i]);
    }
    return value;
}

} // namespace tavrik::platform
