#pragma once
// The profile file (.fwc, and the working file $Profile0): a profile's data
// on disk. The 32832-byte assignment table with its two headers, then the
// macro records of 16512 bytes, then the string pool of the LaunchProgram
// and TextBlock records.
//
// The format and its checks, on files and bytes; moving the working set to
// and from files is the sync layer's (sync/ProfileFileStore.h).

#include "profile/ProfileData.h"

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

// Reads the part of a profile file that its header accounts for: the whole
// file, but no further than the end of the pool the header declares. Gives
// Rejected for a missing file and a file under 32832 bytes or of 4 GiB or
// more, CannotOpen and OutOfMemory as their names say.
int readProfileImage(const std::string& path, std::vector<std::uint8_t>& image);

// The header checks of an import, in table order; false for fewer than 32
// bytes.
bool isProfileHeaderAcceptable(std::span<const std::uint8_t> image);

// Replaces `set`'s contents with the image's. Does not validate: any bytes
// are safe. What the image does not hold counts as missing:
//  - at most 100 macros are loaded, and only records the image holds whole;
//  - the pool is what the image holds of it behind the declared macros;
//  - strings follow loadStringsFromPool (keyboard/StringPool.h);
//  - a loaded macro's new flag is cleared, as everywhere in the working set.
// An image shorter than the assignment table leaves the default assignment
// table with no macros and no strings, and gives false.
bool loadProfileImage(std::span<const std::uint8_t> image, ProfileData& set);

// The bytes of a profile file of `set`: refills the table's header for the
// macro count and string total (flag 0) and packs the strings into the pool,
// setting the records' offsets in `set` itself.
std::vector<std::uint8_t> profileImageOf(ProfileData& set);

// The default assignment table (defaultTable, its header with macro count 0,
// pool 0 and `flag`), no macros and no strings, in place of `set`'s contents.
void installDefaultProfile(ProfileData& set, std::uint8_t flag);

// The default assignment table with that header written to path as a
// 32832-byte file, atomically.
bool writeDefaultProfileFile(const std::string& path, std::uint8_t flag);

} // namespace tavrik::profile
