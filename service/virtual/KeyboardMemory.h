#pragma once
// The memory of the virtual keyboard: everything its commands read and write
// and its state file keeps. The default layout is not part of it: it is fixed
// in the keyboard (DefaultLayout.h).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace tavrik::service {

inline constexpr std::size_t kDeviceInfoSize = 44;
inline constexpr std::size_t kActiveProfileByte = 10;
inline constexpr std::size_t kMacroUnitsByte = 11;
inline constexpr std::size_t kFirstEffectByte = 12;
inline constexpr std::size_t kProfileCount = 3;
inline constexpr std::size_t kEffectCount = 18;

inline constexpr std::size_t kKeyMapPageSize = 512;
// Byte 11 of the information block, in units of 128 bytes: the largest
// memory whose offsets still fit the 16-bit fields of the macro area.
inline constexpr std::uint8_t kMacroUnits = 255;
inline constexpr std::size_t kMacroMemorySize = kMacroUnits * 128;

inline constexpr std::size_t kLightingRecordSize = 42;
// The host reads 56 bytes at a record's offset, so the area reaches 56 bytes
// past the start of the last record.
inline constexpr std::size_t kLightingAreaSize = (kProfileCount - 1) * kLightingRecordSize + 56;
inline constexpr std::size_t kZoneTableSize = 36;
inline constexpr std::size_t kZoneAreaSize = (kProfileCount - 1) * kZoneTableSize + 56;

// The record a profile's lighting starts from: effect 1, brightness 4,
// speed 1, direction 0, random colour on, colour red.
inline constexpr std::array<std::uint8_t, 35> kDefaultLightingRecord = {
    0x01, 0x04, 0x01, 0x00, 0x01, 0xFF, 0x00, 0x00, 0x08, 0xFF, 0xFF, 0xFF,
    0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00,
    0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00};

struct KeyboardMemory {
    std::array<std::uint8_t, kDeviceInfoSize> info{};
    std::array<std::uint8_t, kProfileCount * kKeyMapPageSize> pages{};
    std::array<std::uint8_t, kMacroMemorySize> macro{};
    std::array<std::uint8_t, kLightingAreaSize> lighting{};
    std::array<std::uint8_t, kZoneAreaSize> zones{};

    // A keyboard as it leaves the factory: every page equal to the default
    // layout, no macros, the default lighting record in every profile, white
    // zones, profile 0 active.
    static KeyboardMemory factoryFresh();

    // Bytes 11..43 of the information block describe the hardware; they are
    // the same in every keyboard of this model, which offers effects 1..18.
    void setHardwareDescription();
    // Bytes 12..43: the effects the keyboard offers, in its order, the rest
    // 0; at most 32 are taken.
    void offerEffects(std::span<const std::uint8_t> effects);
};

// Areas by the names the control socket uses: info, page0, page1, page2,
// macro, lighting, zones. Empty for another name.
std::optional<std::span<const std::uint8_t>> namedArea(const KeyboardMemory& memory,
                                                       std::string_view name);

} // namespace tavrik::service
