#pragma once
// Making a profile file from the keyboard's memory: the three key map pages
// and the macro area, decoded into an assignment table and macro records.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::sync {

// What the keyboard holds, as a profile file's bytes (no strings:
// LaunchProgram and TextBlock cannot be read back). The macro area is
// untrusted: at most 100 macros, and only those that lie whole inside the
// area, are kept. None when any read fails, the active profile included.
std::optional<std::vector<std::uint8_t>> readKeyboardImage();

// Stores `image` at path, leaving a file that holds it already untouched.
// False, with `error` set to the failing step's errno, when it cannot.
bool storeKeyboardImage(const std::string& path, const std::vector<std::uint8_t>& image,
                        int* error = nullptr);

// Reads the keyboard and stores what it holds at path in profile file
// format. False when the keyboard cannot be read (nothing is written then)
// or the file cannot be written (the previous file stays).
bool readKeyboardToWorkingFile(const std::string& path);

} // namespace tavrik::sync
