#pragma once
// A profile file in words, for people: the header fields and whether the
// program would import the file, every assigned key of every layer with what
// it does, and every macro with its actions.

#include <cstdint>
#include <span>
#include <string>

namespace tavrik::tools {

// The text (UTF-8, one item a line) of a profile file's bytes. Any bytes are
// safe; fewer than the assignment table's give the header part only.
std::string dumpProfileImage(std::span<const std::uint8_t> image);

} // namespace tavrik::tools
