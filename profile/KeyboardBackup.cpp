#include "profile/KeyboardBackup.h"

#include "platform/AtomicFile.h"
#include "platform/ByteOrder.h"
#include "platform/Crc32.h"
#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <new>

namespace tavrik::profile {
namespace {

constexpr std::array<std::uint8_t, 8> kMagic = {'T', 'V', 'R', 'K', 'B', 'K', 'U', 'P'};

// Offsets of version 1.
constexpr std::size_t kVersionAt = 8;
constexpr std::size_t kFileSizeAt = 12;
constexpr std::size_t kLeadSize = 16; // what every version keeps
constexpr std::size_t kActiveProfileAt = 16;
constexpr std::size_t kPagesAt = 20;
constexpr std::size_t kLightingAt = kPagesAt + kBackupProfileCount * keyboard::kKeyMapLayerSize;
constexpr std::size_t kZonesAt = kLightingAt + kBackupProfileCount * kLightingRecordSize;
constexpr std::size_t kMacroLengthAt = kZonesAt + kBackupProfileCount * kZoneColoursSize;
constexpr std::size_t kMacroAreaAt = kMacroLengthAt + 2;
constexpr std::size_t kChecksumSize = 4;
static_assert(kMacroAreaAt + kChecksumSize == kKeyboardBackupFixedSize);

template <std::size_t Size>
void put(std::vector<std::uint8_t>& bytes, std::size_t at,
         const std::array<std::uint8_t, Size>& part) {
    std::copy(part.begin(), part.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

template <std::size_t Size>
void take(std::span<const std::uint8_t> bytes, std::size_t at,
          std::array<std::uint8_t, Size>& part) {
    std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(at), Size, part.begin());
}

bool startsWithMagic(std::span<const std::uint8_t> bytes) {
    const std::size_t compared = std::min(bytes.size(), kMagic.size());
    return compared > 0 &&
           std::equal(kMagic.begin(), kMagic.begin() + static_cast<std::ptrdiff_t>(compared),
                      bytes.begin());
}

// The fields of version 1, once the lead and the checksum were found sound.
BackupCheck decodeVersion1(std::span<const std::uint8_t> bytes, KeyboardBackup& backup) {
    if (bytes.size() < kKeyboardBackupFixedSize) {
        return BackupCheck::Damaged;
    }
    const std::size_t macroLength = platform::readU16(&bytes[kMacroLengthAt]);
    if (bytes.size() != kKeyboardBackupFixedSize + macroLength ||
        macroLength < kSmallestBackupMacroArea || macroLength > kLargestBackupMacroArea ||
        bytes[kActiveProfileAt] >= kBackupProfileCount) {
        return BackupCheck::Damaged;
    }
    KeyboardBackup decoded;
    decoded.activeProfile = bytes[kActiveProfileAt];
    for (std::size_t profile = 0; profile < kBackupProfileCount; ++profile) {
        take(bytes, kPagesAt + profile * keyboard::kKeyMapLayerSize, decoded.pages[profile]);
        take(bytes, kLightingAt + profile * kLightingRecordSize, decoded.lighting[profile]);
        take(bytes, kZonesAt + profile * kZoneColoursSize, decoded.zones[profile]);
    }
    const auto area = bytes.subspan(kMacroAreaAt, macroLength);
    decoded.macroArea.assign(area.begin(), area.end());
    backup = std::move(decoded);
    return BackupCheck::Valid;
}

} // namespace

bool isStorableBackup(const KeyboardBackup& backup) {
    return backup.activeProfile < kBackupProfileCount &&
           backup.macroArea.size() >= kSmallestBackupMacroArea &&
           backup.macroArea.size() <= kLargestBackupMacroArea;
}

std::vector<std::uint8_t> encodeKeyboardBackup(const KeyboardBackup& backup) {
    if (!isStorableBackup(backup)) {
        return {};
    }
    const std::size_t size = kKeyboardBackupFixedSize + backup.macroArea.size();
    std::vector<std::uint8_t> bytes(size, 0);
    put(bytes, 0, kMagic);
    platform::writeU16(&bytes[kVersionAt], kKeyboardBackupVersion);
    platform::writeU32(&bytes[kFileSizeAt], static_cast<std::uint32_t>(size));
    bytes[kActiveProfileAt] = backup.activeProfile;
    for (std::size_t profile = 0; profile < kBackupProfileCount; ++profile) {
        put(bytes, kPagesAt + profile * keyboard::kKeyMapLayerSize, backup.pages[profile]);
        put(bytes, kLightingAt + profile * kLightingRecordSize, backup.lighting[profile]);
        put(bytes, kZonesAt + profile * kZoneColoursSize, backup.zones[profile]);
    }
    platform::writeU16(&bytes[kMacroLengthAt], static_cast<std::uint16_t>(backup.macroArea.size()));
    std::copy(backup.macroArea.begin(), backup.macroArea.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(kMacroAreaAt));
    const std::size_t sealed = size - kChecksumSize;
    platform::writeU32(&bytes[sealed], platform::crc32(std::span(bytes).first(sealed)));
    return bytes;
}

BackupCheck decodeKeyboardBackup(std::span<const std::uint8_t> bytes, KeyboardBackup& backup) {
    if (!startsWithMagic(bytes)) {
        return BackupCheck::Foreign;
    }
    if (bytes.size() < kLeadSize + kChecksumSize ||
        platform::readU32(&bytes[kFileSizeAt]) != bytes.size()) {
        return BackupCheck::Damaged;
    }
    const auto sealed = bytes.first(bytes.size() - kChecksumSize);
    if (platform::readU32(&bytes[sealed.size()]) != platform::crc32(sealed)) {
        return BackupCheck::Damaged;
    }
    const std::uint16_t version = platform::readU16(&bytes[kVersionAt]);
    if (version > kKeyboardBackupVersion) {
        return BackupCheck::NewerVersion;
    }
    if (version != kKeyboardBackupVersion) {
        return BackupCheck::Damaged;
    }
    return decodeVersion1(bytes, backup);
}

BackupCheck readKeyboardBackupFile(const std::string& path, KeyboardBackup& backup) {
    platform::RegularFile file;
    if (file.open(path) != platform::RegularFile::Open::Opened) {
        return BackupCheck::CannotRead;
    }
    // One byte beyond the largest backup tells a longer file from it.
    const auto size =
        static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), kLargestKeyboardBackup + 1));
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return BackupCheck::CannotRead;
    }
    if (!file.readFully(bytes)) {
        return BackupCheck::CannotRead;
    }
    return decodeKeyboardBackup(bytes, backup);
}

bool writeKeyboardBackupFile(const std::string& path, const KeyboardBackup& backup, int* error) {
    const std::vector<std::uint8_t> bytes = encodeKeyboardBackup(backup);
    if (bytes.empty()) {
        if (error != nullptr) {
            *error = EINVAL;
        }
        return false;
    }
    return platform::writeFileAtomically(path, {bytes}, error);
}

} // namespace tavrik::profile
