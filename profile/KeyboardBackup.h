#pragma once
// The whole-keyboard backup (.tkb): everything the keyboard holds for its
// user in one file, sealed with a CRC-32: the key map pages of the three
// profiles, the macro area, the active profile, the three lighting records
// and the zone colours. The format on bytes and files; reading the keyboard
// and writing it back are the sync layer's (sync/KeyboardBackupTransfer.h).
//
// Version 1, little-endian:
//   offset    size  field
//   0         8     magic "TVRKBKUP"
//   8         2     format version, 1
//   10        2     reserved, 0
//   12        4     size of the whole file, the checksum included
//   16        1     active profile, 0..2
//   17        3     reserved, 0
//   20        1536  key map pages of profiles 1, 2 and 3, 512 bytes each
//   1556      126   lighting records of profiles 1, 2 and 3, 42 bytes each
//   1682      108   zone colours of profiles 1, 2 and 3: 12 colours of red,
//                   green and blue each
//   1790      2     length n of the macro area, 16..32640
//   1792      n     the macro area from address 0
//   1792 + n  4     CRC-32 of every byte before it
//
// Every later version keeps the first 16 bytes and the CRC-32 at the end, so
// a reader checks magic, size and checksum before it looks at the version.
// Reserved bytes are written 0 and not interpreted.

#include "keyboard/KeyMapCodec.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavrik::profile {

inline constexpr std::size_t kBackupProfileCount = 3;
inline constexpr std::size_t kLightingRecordSize = 42;
inline constexpr std::size_t kZoneColoursSize = 36; // 12 colours of 3 bytes
// The macro area always holds its 16-byte header; the largest is the largest
// macro memory the device information can describe (255 units of 128 bytes).
inline constexpr std::size_t kSmallestBackupMacroArea = 16;
inline constexpr std::size_t kLargestBackupMacroArea = 255 * 128;

inline constexpr std::uint16_t kKeyboardBackupVersion = 1;
inline constexpr std::size_t kKeyboardBackupFixedSize = 1796; // all but the macro area
inline constexpr std::size_t kLargestKeyboardBackup =
    kKeyboardBackupFixedSize + kLargestBackupMacroArea;

using LightingRecordBytes = std::array<std::uint8_t, kLightingRecordSize>;
using ZoneColourBytes = std::array<std::uint8_t, kZoneColoursSize>;

struct KeyboardBackup {
    std::uint8_t activeProfile = 0;
    std::array<keyboard::KeyMapLayer, kBackupProfileCount> pages{};
    std::array<LightingRecordBytes, kBackupProfileCount> lighting{};
    std::array<ZoneColourBytes, kBackupProfileCount> zones{};
    std::vector<std::uint8_t> macroArea;

    friend bool operator==(const KeyboardBackup&, const KeyboardBackup&) = default;
};

enum class BackupCheck {
    Valid,
    CannotRead,   // missing, not a regular file, or unreadable
    Foreign,      // not a keyboard backup at all
    Damaged,      // a keyboard backup, but cut short, altered or inconsistent
    NewerVersion, // a keyboard backup of a later format
};

// Whether a backup can be stored: an active profile of 0..2 and a macro area
// of 16..32640 bytes.
bool isStorableBackup(const KeyboardBackup& backup);

// The file's bytes; empty for a backup that cannot be stored.
std::vector<std::uint8_t> encodeKeyboardBackup(const KeyboardBackup& backup);

// Checks every length, the checksum and every field before anything is
// taken; `backup` is changed only when the result is Valid.
BackupCheck decodeKeyboardBackup(std::span<const std::uint8_t> bytes, KeyboardBackup& backup);

// Reads and decodes a backup file; only a regular file is opened, and no
// more than the largest backup (and one byte to tell a longer file) is read.
BackupCheck readKeyboardBackupFile(const std::string& path, KeyboardBackup& backup);

// Saves atomically; false, with any previous file untouched, for a backup
// that cannot be stored (`error` EINVAL) or a failed write (`error` the
// errno of the failing step).
bool writeKeyboardBackupFile(const std::string& path, const KeyboardBackup& backup,
                             int* error = nullptr);

} // namespace tavrik::profile
