// Seeds for the lighting fuzz target: the information block of a keyboard
// with all eighteen effects and of one with two, the default record, and
// colour texts as the user colour files hold them.

#include "FuzzSeeds.h"
#include "lighting/EffectList.h"
#include "lighting/LightingRecord.h"

#include <cstdio>
#include <string_view>
#include <vector>

using namespace tavrik::lighting;

namespace {

std::vector<std::uint8_t> seed(const std::vector<int>& effects, std::u16string_view text) {
    std::vector<std::uint8_t> bytes(kDeviceInfoSize + kRecordSize, 0);
    for (std::size_t i = 0; i < effects.size(); ++i) {
        bytes[kFirstEffectByte + i] = static_cast<std::uint8_t>(effects[i]);
    }
    std::copy(kDefaultRecord.begin(), kDefaultRecord.end(), bytes.begin() + kDeviceInfoSize);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    std::vector<int> all;
    for (int effect = 1; effect <= 18; ++effect) {
        all.push_back(effect);
    }
    bool written = tavrik::fuzz::writeSeed(folder, "all-effects", seed(all, u"51,34,17"));
    written =
        tavrik::fuzz::writeSeed(folder, "two-effects", seed({1, 0, 8}, u" 255 , 0,9")) && written;
    return written ? 0 : 1;
}
