#pragma once
// The working set to and from profile files (profile/ProfileFile.h holds
// the format).
//
// Each operation runs with the working-set lock held: taken by the operation
// itself where it has a lock argument that is true, otherwise by the caller
// (the lock is recursive, so functions that take it anyway are safe to call
// with it held).

#include <cstdint>
#include <string>

namespace tavrik::sync {

// Writes the working set to path: refills the table's header for the macro
// count and string total (flag 0), packs the strings into the pool (setting
// the records' offsets in the working set itself), then writes table, macros
// and pool. The file is replaced atomically: on any failure the previous
// file stays whole and the result is false, with `error` set to the errno
// of the failing step (ENOMEM when the image could not be made).
bool writeProfileFile(const std::string& path, bool lock, int* error = nullptr);

// Replaces the working set's contents with the file's, as loadProfileImage
// does. A file that cannot be read or is shorter than the assignment table
// leaves the default assignment table with no macros and no strings, and
// gives false. Takes the working-set lock.
bool loadProfileFile(const std::string& path);

// The default assignment table (defaultTable, its header with macro count 0,
// pool 0 and `flag`). With intoWorkingSet it replaces the working set's
// contents (no macros, no strings); otherwise it is written to path as a
// 32832-byte file.
bool writeDefaultProfile(const std::string& path, std::uint8_t flag, bool intoWorkingSet);

} // namespace tavrik::sync
