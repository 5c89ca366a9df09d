#pragma once
// The virtual keyboard's flash on disk: a versioned binary file with a magic
// and a CRC-32 over everything before it.
//
//   offset 0   4 bytes  magic "TVKS"
//          4   u16      format version (1)
//          6   u16      number of areas
//          8   areas:   u16 area id, u32 size, the bytes
//                       (1 info, 2 key map pages, 3 macro memory, 4 lighting, 5 zones)
//        end   u32      CRC-32 of all bytes before it
//
// Integers are little-endian. Version 1 requires each area exactly once with
// exactly the size of this keyboard.

#include "service/virtual/KeyboardMemory.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavrik::service {

std::vector<std::uint8_t> encodeState(const KeyboardMemory& memory);
// False, with `memory` unspecified, for anything that is not a whole, intact
// version-1 state.
bool decodeState(std::span<const std::uint8_t> bytes, KeyboardMemory& memory);

enum class StateLoad { Loaded, Missing, Corrupt };

// Loads the state at `path` into `memory`; on Missing or Corrupt `memory` is
// factory-fresh.
StateLoad loadStateFile(const std::string& path, KeyboardMemory& memory);
// Saves atomically, creating the folder when needed.
bool saveStateFile(const std::string& path, const KeyboardMemory& memory);

// VEZAROR_VIRTUAL_STATE, else $XDG_STATE_HOME/tavrik/virtual-keyboard.state,
// with ~/.local/state for an unset XDG_STATE_HOME. Empty when no home is known.
std::string stateFilePathFromEnvironment();

} // namespace tavrik::service
