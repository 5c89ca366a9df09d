#pragma once
// The profile file (.fwc, and the working file $Profile0): the working set
// on disk. The 32832-byte assignment table with its two headers, then the
// macro records of 16512 bytes, then the string pool of the LaunchProgram
// and TextBlock records.
//
// Operations on the working set run with the working-set lock held: taken by
// the operation itself where it has a lock argument that is true, otherwise
// by the caller (the lock is recursive, so functions that take it anyway are
// safe to call with it held).

#include "device/DataSets.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavrik::profile {

// Results of validateProfileFile and readProfileImage.
namespace validation {
constexpr int Acceptable = 1;
constexpr int Rejected = 0;    // missing, too small (under 32832 bytes), 4 GiB or more, bad header
constexpr int CannotOpen = -2; // cannot be opened or read
constexpr int OutOfMemory = -3;
} // namespace validation

// Writes the working set to path: refills the table's header for the macro
// count and string total (flag 0), packs the strings into the pool (setting
// the records' offsets in the working set itself), then writes table, macros
// and pool. The file is replaced atomically: on any failure the previous
// file stays whole and the result is false.
bool writeProfileFile(const std::string& path, bool lock);

// Checks a file before import: 1 when acceptable, otherwise a negative or
// zero code of `validation`. A header that fails a check shows the message
// PROFILE_FORMAT_ERROR with the path; every other failure shows nothing (the
// caller shows its own import message). Anything but a regular file cannot
// be opened (-2), and is not waited for. The real length is not compared
// with the header's total.
int validateProfileFile(const std::string& path);

// validateProfileFile that keeps what it checked: on 1, `image` holds the
// bytes that passed (readProfileImage), for loadProfileImage; otherwise it
// is empty.
int readValidatedProfileImage(const std::string& path, std::vector<std::uint8_t>& image);

// Replaces the working set's contents with the file's. Does not validate:
// any bytes are safe. What the file does not hold counts as missing:
//  - at most 100 macros are loaded, and only records the file holds whole;
//  - the pool is what the file holds of it behind the declared macros;
//  - strings follow loadStringsFromPool (keyboard/StringPool.h);
//  - a loaded macro's new flag is cleared, as everywhere in the working set.
// A file that cannot be read or is shorter than the assignment table leaves
// the default assignment table with no macros and no strings, and gives
// false. The caller holds the working-set lock.
bool loadProfileFile(const std::string& path);

// The default assignment table (defaultTable, its header with macro count 0,
// pool 0 and `flag`). With intoWorkingSet it replaces the working set's
// contents (no macros, no strings); otherwise it is written to path as a
// 32832-byte file.
bool writeDefaultProfile(const std::string& path, std::uint8_t flag, bool intoWorkingSet);

// The building blocks, on bytes.

// Reads the part of a profile file that its header accounts for: the whole
// file, but no further than the end of the pool the header declares. Gives
// Rejected for a missing file and a file under 32832 bytes or of 4 GiB or
// more, CannotOpen and OutOfMemory as their names say.
int readProfileImage(const std::string& path, std::vector<std::uint8_t>& image);

// The header checks of an import, in table order; false for fewer than 32
// bytes.
bool isProfileHeaderAcceptable(std::span<const std::uint8_t> image);

// loadProfileFile on bytes already read.
bool loadProfileImage(std::span<const std::uint8_t> image, device::WorkingSet& set);

// The bytes writeProfileFile writes (and the offsets it sets in the table).
std::vector<std::uint8_t> profileImageOf(device::WorkingSet& set);

} // namespace tavrik::profile
