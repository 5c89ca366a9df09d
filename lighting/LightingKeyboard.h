#pragma once
// The lighting traffic with the keyboard: reading the effect list, the three
// lighting records and the zone colours, and the write sequences of the
// panel (beginWrite, the data, endWrite). Every function returns a result
// code of device/ResultCodes.h: the first failure of its sequence, or
// success.

#include "lighting/Colour.h"
#include "lighting/EffectList.h"
#include "lighting/LightingRecord.h"
#include "lighting/Zones.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tavrik::lighting {

using ZoneColours = std::array<Colour, kZoneColourSlots>;

struct KeyboardLighting {
    EffectList effects;
    std::array<std::array<std::uint8_t, kRecordSize>, kProfileCount> records{};
    // Read only when asked for and the keyboard offers the zone effect.
    std::optional<std::array<ZoneColours, kProfileCount>> zones;
};

// Reads everything at once; `out` is untouched unless every read succeeds.
int readKeyboardLighting(bool withZones, KeyboardLighting& out);

// One byte field, or several, of `profile`'s record in one sequence.
struct RecordField {
    std::size_t offset;
    std::span<const std::uint8_t> bytes;
};
int writeRecordFields(int profile, std::span<const RecordField> fields);
int writeRecordByte(int profile, std::size_t offset, std::uint8_t value);

// The colour of a zone: its two colour slots, one command each.
int writeZoneColour(int profile, int zone, Colour colour);

// The 35 bytes of kDefaultRecord from the start of `profile`'s record.
int writeDefaultRecord(int profile);

} // namespace tavrik::lighting
