#pragma once
// The text form of a memory area on the control socket:
//
//   <name> <size in bytes>
//   0000: 01 04 01 00 ...        (16 bytes a line, offset in hex)
//
// Readable as it stands and parsed back by the control client.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::service {

std::string formatArea(std::string_view name, std::span<const std::uint8_t> bytes);

// Parses one area in the form above (lines end with '\n'). False for text
// that is not exactly that form or whose byte count differs from its size.
bool parseArea(std::string_view text, std::string& name, std::vector<std::uint8_t>& bytes);

} // namespace tavrik::service
