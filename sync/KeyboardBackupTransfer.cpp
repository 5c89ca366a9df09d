#include "sync/KeyboardBackupTransfer.h"

#include "device/Commands.h"
#include "device/DeviceState.h"
#include "device/WriteSequence.h"
#include "macro/MacroAreaImage.h"
#include "platform/AtomicFile.h"
#include "platform/ByteOrder.h"
#include "platform/Unicode.h"
#include "sync/ProfileActivation.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"

#include <algorithm>
#include <optional>

namespace tavrik::sync {
namespace {

using profile::kBackupProfileCount;
using profile::KeyboardBackup;
namespace result = device::result;

// A lighting record is read as the keyboard answers it, 56 bytes from its
// start, and kept to its 42 bytes. Of those the program writes offsets 0..34;
// the rest is the keyboard's own and is never written.
constexpr std::size_t kLightingRecordWrittenSize = 35;

std::uint32_t lightingRecordAddress(std::size_t profile) {
    return static_cast<std::uint32_t>(profile * profile::kLightingRecordSize);
}

bool readPages(KeyboardBackup& backup) {
    for (std::size_t page = 0; page < kBackupProfileCount; ++page) {
        if (device::readKeyMapPage(backup.pages[page], static_cast<int>(page)) != result::Success) {
            return false;
        }
    }
    return true;
}

int readLightingRecord(std::size_t profile, KeyboardBackup& backup) {
    std::array<std::uint8_t, device::kSinglePacketBlockSize> bytes{};
    const int code = device::readParameters(bytes, device::kSinglePacketBlockSize,
                                            lightingRecordAddress(profile));
    std::copy_n(bytes.begin(), profile::kLightingRecordSize, backup.lighting[profile].begin());
    return code;
}

int readZoneColours(std::size_t profile, KeyboardBackup& backup) {
    std::array<std::uint8_t, device::kSinglePacketBlockSize> bytes{};
    const int code =
        device::readColours(bytes, profile::kZoneColoursSize, 0, static_cast<int>(profile));
    std::copy_n(bytes.begin(), profile::kZoneColoursSize, backup.zones[profile].begin());
    return code;
}

// The lighting records and the zone colours, framed by beginWrite and
// endWrite as the keyboard's lighting is always read.
bool readLighting(KeyboardBackup& backup) {
    device::WriteSequence sequence;
    for (std::size_t profile = 0; profile < kBackupProfileCount; ++profile) {
        sequence.send([&] { return readLightingRecord(profile, backup); });
    }
    for (std::size_t profile = 0; profile < kBackupProfileCount; ++profile) {
        sequence.send([&] { return readZoneColours(profile, backup); });
    }
    return sequence.end() == result::Success;
}

// How much of the macro area a backup keeps: as far as its header says, but
// at least the header itself and at most the largest macro memory; a header
// without the magic holds no macros, and only the header is kept.
std::optional<std::size_t> macroAreaLength() {
    std::array<std::uint8_t, macro::kMacroAreaHeaderSize> header{};
    if (device::readMacroArea(header) != result::Success) {
        return std::nullopt;
    }
    if (platform::readU16(header.data()) != macro::kMacroAreaMagic) {
        return header.size();
    }
    return std::clamp<std::size_t>(platform::readU16(header.data() + 2), header.size(),
                                   profile::kLargestBackupMacroArea);
}

bool readMacroArea(std::size_t length, std::vector<std::uint8_t>& area) {
    area.assign(length, 0);
    return device::readMacroArea(area) == result::Success;
}

int writeBackup(const KeyboardBackup& backup) {
    device::WriteSequence sequence;
    sequence.send([&] { return device::writeMacroArea(backup.macroArea); });
    for (std::size_t profile = 0; profile < kBackupProfileCount; ++profile) {
        sequence.send([&] {
            return device::writeKeyMapPage(backup.pages[profile], static_cast<int>(profile));
        });
    }
    for (std::size_t profile = 0; profile < kBackupProfileCount; ++profile) {
        sequence.send([&] {
            return device::writeParameters(
                std::span(backup.lighting[profile]).first(kLightingRecordWrittenSize),
                lightingRecordAddress(profile));
        });
    }
    for (std::size_t profile = 0; profile < kBackupProfileCount; ++profile) {
        sequence.send([&] {
            return device::writeColours(backup.zones[profile], 0, static_cast<int>(profile));
        });
    }
    return sequence.end();
}

bool sameWrittenLighting(const KeyboardBackup& written, const KeyboardBackup& read) {
    for (std::size_t profile = 0; profile < kBackupProfileCount; ++profile) {
        if (!std::equal(read.lighting[profile].begin(),
                        read.lighting[profile].begin() + kLightingRecordWrittenSize,
                        written.lighting[profile].begin())) {
            return false;
        }
    }
    return true;
}

// Reads back what the restore wrote, the macro area to the backup's length.
bool keyboardHolds(const KeyboardBackup& backup) {
    KeyboardBackup read;
    if (device::readActiveProfile() != backup.activeProfile || !readPages(read) ||
        !readMacroArea(backup.macroArea.size(), read.macroArea) || !readLighting(read)) {
        return false;
    }
    return read.pages == backup.pages && read.macroArea == backup.macroArea &&
           read.zones == backup.zones && sameWrittenLighting(backup, read);
}

const char* restoreTextKey(RestoreResult result) {
    switch (result) {
    case RestoreResult::Restored:
        return "RESTORE_DONE";
    case RestoreResult::Damaged:
        return "RESTORE_DAMAGED";
    case RestoreResult::NoKeyboard:
        return "RESTORE_NO_KEYBOARD";
    case RestoreResult::DoesNotFit:
        return "RESTORE_TOO_LARGE";
    case RestoreResult::WriteFailed:
        return "RESTORE_WRITE_FAILED";
    case RestoreResult::NotConfirmed:
        return "RESTORE_NOT_CONFIRMED";
    }
    return "";
}

const char* refusalTextKey(profile::BackupCheck check) {
    switch (check) {
    case profile::BackupCheck::Valid:
        break;
    case profile::BackupCheck::CannotRead:
        return "RESTORE_CANNOT_READ";
    case profile::BackupCheck::Foreign:
        return "RESTORE_FOREIGN";
    case profile::BackupCheck::Damaged:
        return "RESTORE_DAMAGED";
    case profile::BackupCheck::NewerVersion:
        return "RESTORE_NEWER";
    }
    return nullptr;
}

std::u16string textWithPath(const char* key, const std::string& path) {
    return text::formatWithText(text::languageText(key), platform::toUtf16(path));
}

} // namespace

bool readKeyboardBackup(KeyboardBackup& backup) {
    const int active = device::readActiveProfile();
    if (active < 0 || active >= static_cast<int>(kBackupProfileCount)) {
        return false;
    }
    KeyboardBackup read;
    read.activeProfile = static_cast<std::uint8_t>(active);
    const std::optional<std::size_t> macroLength = macroAreaLength();
    if (!macroLength || !readMacroArea(*macroLength, read.macroArea) || !readPages(read) ||
        !readLighting(read)) {
        return false;
    }
    backup = std::move(read);
    return true;
}

BackupResult backupKeyboardTo(const std::string& path, int* error) {
    KeyboardBackup backup;
    if (!readKeyboardBackup(backup)) {
        return BackupResult::KeyboardUnreadable;
    }
    return profile::writeKeyboardBackupFile(path, backup, error) ? BackupResult::Saved
                                                                 : BackupResult::CannotWrite;
}

RestoreResult restoreKeyboardBackup(const KeyboardBackup& backup) {
    if (!profile::isStorableBackup(backup)) {
        return RestoreResult::Damaged;
    }
    std::array<std::uint8_t, device::kDeviceInfoSize> info{};
    if (device::readDeviceInfo(info) != result::Success) {
        return RestoreResult::NoKeyboard;
    }
    const std::size_t capacity =
        std::size_t{info[device::kDeviceInfoMacroUnits]} * device::kMacroMemoryUnit;
    if (backup.macroArea.size() > capacity) {
        return RestoreResult::DoesNotFit;
    }
    if (writeBackup(backup) != result::Success || !setActiveProfile(backup.activeProfile)) {
        return RestoreResult::WriteFailed;
    }
    return keyboardHolds(backup) ? RestoreResult::Restored : RestoreResult::NotConfirmed;
}

std::u16string resultText(BackupResult result, const std::string& path, int error) {
    switch (result) {
    case BackupResult::Saved:
        return textWithPath("BACKUP_DONE", path);
    case BackupResult::KeyboardUnreadable:
        return textWithPath("BACKUP_READ_FAILED", path);
    case BackupResult::CannotWrite:
        return textWithPath("BACKUP_WRITE_FAILED",
                            error != 0 ? platform::describeSaveFailure(path, error) : path);
    }
    return {};
}

std::u16string resultText(RestoreResult result, const std::string& path) {
    return textWithPath(restoreTextKey(result), path);
}

std::u16string resultText(profile::BackupCheck check, const std::string& path) {
    const char* key = refusalTextKey(check);
    return key == nullptr ? std::u16string() : textWithPath(key, path);
}

} // namespace tavrik::sync
