#pragma once
// The lighting record the keyboard keeps for each of its three profiles:
// 42 bytes at address profile * 42 of its lighting area, of which the host
// reads 56 at a time and keeps the first 42.
//
//   0 effect   1 brightness 0..4   2 speed 0..4   3 direction (1 left, 0 right)
//   4 random colour (1 on)   5..7 colour r, g, b   8 (8)   9..11 base colour
//   12..14 (red)   15 report rate 0..3   16 (FF)   17 preset colour 0..3
//   18 flag   19 trigger mode   20..24 (00 FF FF 00 00)   25..27 second colour
//   28 its random flag   29 (0)   30..32 third colour   33 its random flag
//   34 (0)   35..41 carried, never written

#include "lighting/Colour.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrik::lighting {

inline constexpr int kProfileCount = 3;
inline constexpr std::size_t kRecordSize = 42;
inline constexpr std::size_t kRecordReadSize = 56;

namespace offset {
inline constexpr std::size_t Effect = 0;
inline constexpr std::size_t Brightness = 1;
inline constexpr std::size_t Speed = 2;
inline constexpr std::size_t Direction = 3;
inline constexpr std::size_t Random = 4;
inline constexpr std::size_t EffectColour = 5;
inline constexpr std::size_t ReportRate = 15;
inline constexpr std::size_t Preset = 17;
inline constexpr std::size_t Flag = 18;
inline constexpr std::size_t SecondColour = 25;
inline constexpr std::size_t SecondRandom = 28;
inline constexpr std::size_t ThirdColour = 30;
inline constexpr std::size_t ThirdRandom = 33;
} // namespace offset

// Brightness and speed run 0..4; the report rate 0..3; preset colours are
// 0 red, 1 yellow, 2 green, 3 blue.
inline constexpr int kLevelMaximum = 4;
inline constexpr int kReportRateMaximum = 3;
inline constexpr int kPresetCount = 4;

// What the restore step writes from a record's start: effect 1, brightness
// 4, speed 1, direction 0, random colour on, colour red.
inline constexpr std::array<std::uint8_t, 35> kDefaultRecord = {
    0x01, 0x04, 0x01, 0x00, 0x01, 0xFF, 0x00, 0x00, 0x08, 0xFF, 0xFF, 0xFF,
    0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00,
    0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00};

// The fields of a record that the panel shows, as it shows them.
struct LightingRecord {
    int effect = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    bool random = false;
    Colour colour = kBlack;
    Colour secondColour = kBlack;
    bool secondRandom = false;
    Colour thirdColour = kBlack;
    bool thirdRandom = false;
    // A stored value above 3 counts as 3.
    int reportRate = 0;
    // A stored value outside 0..3 counts as 0.
    int preset = 0;
    // Byte 18, kept for effect 7 only when it is 0 or 1; 0 otherwise.
    int effect7Flag = 0;

    friend bool operator==(const LightingRecord&, const LightingRecord&) = default;
};

LightingRecord decodeRecord(std::span<const std::uint8_t, kRecordSize> bytes);

// The record of kDefaultRecord, the carried bytes zero.
LightingRecord defaultRecord();

// Address of `profile`'s record (0..2) in the lighting area.
constexpr std::uint32_t recordAddress(int profile) {
    return static_cast<std::uint32_t>(profile) * static_cast<std::uint32_t>(kRecordSize);
}

} // namespace tavrik::lighting
