#pragma once
// The six zones of the zone-colour effect (8), left to right across the
// keyboard, and which on-screen button lies in which. The keyboard keeps 12
// colours of 3 bytes per profile at address profile * 36; zone z shows
// colours 2z and 2z + 1, which painting always sets alike.

#include "keyboard/KeyTable.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavrik::lighting {

inline constexpr int kZoneCount = 6;
inline constexpr int kZoneColourSlots = 2 * kZoneCount;
inline constexpr std::size_t kZoneTableSize = 3 * kZoneColourSlots;

// The Fn button of the on-screen keyboard; it has no key of its own.
inline constexpr int kFnButtonId = 1174;

// The zone of a key; -1 for a key in none.
int zoneOfKey(keyboard::KeyCode code);
// The zone of an on-screen button (a panel key, G1..G6 or Fn); -1 for any
// other button.
int zoneOfButton(int buttonId);
// Every on-screen button of a zone, panel keys in panel order, then the G
// keys, then Fn.
std::vector<int> buttonsOfZone(int zone);

// The first colour slot of a zone.
constexpr int firstSlotOfZone(int zone) {
    return 2 * zone;
}

} // namespace tavrik::lighting
