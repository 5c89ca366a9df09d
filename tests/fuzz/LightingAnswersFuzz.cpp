// What the lighting panel reads is untrusted: the keyboard's information
// block and lighting records, and the colours of user colour files. Any of
// them must give an effect list of the listed effects, record fields in the
// ranges the panel shows, and colours that write back as they read.

#include "FuzzCheck.h"
#include "lighting/Colour.h"
#include "lighting/EffectList.h"
#include "lighting/LightingEditor.h"
#include "lighting/LightingRecord.h"

#include <algorithm>
#include <array>
#include <string>

using namespace tavrik::lighting;

using tavrik::fuzz::check;

namespace {

// The first 44 bytes are the information block, the next 42 a record,
// missing bytes zero; the rest is UTF-16 text, little-endian.
void checkInfo(const std::array<std::uint8_t, kDeviceInfoSize>& info) {
    const EffectList list = EffectList::fromDeviceInfo(info);
    check(list.size() <= kEffectSlots);
    for (std::size_t i = 0; i < list.size(); ++i) {
        const int effect = list.effectAt(static_cast<int>(i));
        check(effect >= 1 && effect <= 255);
        check(list.indexOf(effect) >= 0 && list.indexOf(effect) <= static_cast<int>(i));
    }
    check(list.effectAt(static_cast<int>(list.size())) == -1);
}

void checkRecord(const std::array<std::uint8_t, kRecordSize>& bytes) {
    LightingState state;
    state.record = decodeRecord(bytes);
    check(state.record.reportRate >= 0 && state.record.reportRate <= kReportRateMaximum);
    check(state.record.preset >= 0 && state.record.preset < kPresetCount);
    check(state.record.effect7Flag == 0 || state.record.effect7Flag == 1);
    check(state.brightnessPosition() >= 0 && state.brightnessPosition() <= kLevelMaximum);
    check(state.speedPosition() >= 0 && state.speedPosition() <= kLevelMaximum);
    check(colourBytes(state.record.colour)[0] == bytes[offset::EffectColour]);
}

void checkColourText(std::u16string_view text) {
    const auto colour = parseColourText(text);
    if (colour) {
        check(*colour <= 0xFFFFFFu);
        check(parseColourText(colourText(*colour)) == colour);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::array<std::uint8_t, kDeviceInfoSize> info{};
    std::copy_n(data, std::min(size, info.size()), info.begin());
    checkInfo(info);
    const std::size_t recordStart = info.size();
    std::array<std::uint8_t, kRecordSize> record{};
    if (size > recordStart) {
        std::copy_n(data + recordStart, std::min(size - recordStart, record.size()),
                    record.begin());
    }
    checkRecord(record);
    const std::size_t textStart = recordStart + record.size();
    std::u16string text;
    for (std::size_t i = textStart; i + 1 < size; i += 2) {
        text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    }
    checkColourText(text);
    return 0;
}
