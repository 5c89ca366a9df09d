#pragma once
// Parsed INI files kept while the file on disk is unchanged. A dialog reads
// its layout file a few hundred values at a time, and parsing the whole file
// for each value was most of the program's start-up. A file counts as
// unchanged while its device, inode, size, modification and change times (to
// the nanosecond) are; anything that writes it changes its change time, and
// an atomic save gives it a new inode. File times advance in steps of a
// clock tick, so two writes within one tick could leave the same stamp: a
// file changed less than kSettledAge ago is read but not kept. Safe from any
// thread.

#include "platform/IniLookup.h"

#include <chrono>
#include <memory>
#include <string>

namespace tavrik::platform {

inline constexpr std::chrono::seconds kSettledAge{2};

// The file's values as they are now; none for a file that is missing or
// cannot be read (which is not kept). `now` is the wall clock.
std::shared_ptr<const IniLookup>
readIniLookup(const std::string& path,
              std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

// Drops what is kept of `path` (after a write of our own).
void forgetIniFile(const std::string& path);

} // namespace tavrik::platform
