// Backup files come from anywhere: decoding any bytes stays inside them,
// changes nothing unless the file is sound, and a sound one encodes back to
// exactly its bytes.

#include "FuzzCheck.h"
#include "profile/KeyboardBackup.h"

#include <vector>

using namespace tavrik;
using tavrik::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    profile::KeyboardBackup backup;
    backup.activeProfile = 7; // marks an untouched backup
    const profile::BackupCheck result = profile::decodeKeyboardBackup(bytes, backup);
    if (result != profile::BackupCheck::Valid) {
        check(backup.activeProfile == 7 && backup.macroArea.empty());
        return 0;
    }
    check(profile::isStorableBackup(backup));
    check(size <= profile::kLargestKeyboardBackup);
    const std::vector<std::uint8_t> encoded = profile::encodeKeyboardBackup(backup);
    // Reserved bytes are not kept; everything else is.
    check(encoded.size() == size);
    profile::KeyboardBackup again;
    check(profile::decodeKeyboardBackup(encoded, again) == profile::BackupCheck::Valid);
    check(again == backup);
    return 0;
}
