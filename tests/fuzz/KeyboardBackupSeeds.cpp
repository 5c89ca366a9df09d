// Seeds for the backup fuzz target: backups written by the program itself.

#include "FuzzSeeds.h"
#include "profile/KeyboardBackup.h"

#include <numeric>
#include <vector>

using namespace tavrik;

namespace {

profile::KeyboardBackup sampleBackup(std::size_t macroAreaSize) {
    profile::KeyboardBackup backup;
    backup.activeProfile = 1;
    for (std::size_t profile = 0; profile < profile::kBackupProfileCount; ++profile) {
        std::iota(backup.pages[profile].begin(), backup.pages[profile].end(),
                  static_cast<std::uint8_t>(profile));
        backup.lighting[profile].fill(static_cast<std::uint8_t>(profile + 1));
        backup.zones[profile].fill(0xFF);
    }
    backup.macroArea.assign(macroAreaSize, 0);
    backup.macroArea[0] = 0xAA;
    backup.macroArea[1] = 0x55;
    backup.macroArea[2] = static_cast<std::uint8_t>(macroAreaSize);
    backup.macroArea[3] = static_cast<std::uint8_t>(macroAreaSize >> 8);
    return backup;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<std::string> corpus = tavrik::fuzz::corpusFolder(argc, argv);
    if (!corpus) {
        return 2;
    }
    const std::string& folder = *corpus;
    const std::vector<std::uint8_t> small = profile::encodeKeyboardBackup(sampleBackup(16));
    const std::vector<std::uint8_t> macros = profile::encodeKeyboardBackup(sampleBackup(300));
    std::vector<std::uint8_t> truncated = macros;
    truncated.resize(macros.size() / 2);
    const bool written = fuzz::writeSeed(folder, "small.tkb", small) &&
                         fuzz::writeSeed(folder, "macros.tkb", macros) &&
                         fuzz::writeSeed(folder, "truncated.tkb", truncated);
    return written ? 0 : 1;
}
