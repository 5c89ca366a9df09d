#include "lighting/LightingRecord.h"

#include <algorithm>

namespace tavrik::lighting {
namespace {

constexpr int kFlagEffect = 7;

Colour colourAt(std::span<const std::uint8_t, kRecordSize> bytes, std::size_t at) {
    return colourFromBytes(bytes.subspan(at).first<3>());
}

} // namespace

LightingRecord decodeRecord(std::span<const std::uint8_t, kRecordSize> bytes) {
    LightingRecord record;
    record.effect = bytes[offset::Effect];
    record.brightness = bytes[offset::Brightness];
    record.speed = bytes[offset::Speed];
    record.direction = bytes[offset::Direction];
    record.random = bytes[offset::Random] != 0;
    record.colour = colourAt(bytes, offset::EffectColour);
    record.secondColour = colourAt(bytes, offset::SecondColour);
    record.secondRandom = bytes[offset::SecondRandom] != 0;
    record.thirdColour = colourAt(bytes, offset::ThirdColour);
    record.thirdRandom = bytes[offset::ThirdRandom] != 0;
    record.reportRate = std::min<int>(bytes[offset::ReportRate], kReportRateMaximum);
    record.preset = bytes[offset::Preset] < kPresetCount ? bytes[offset::Preset] : 0;
    if (record.effect == kFlagEffect && bytes[offset::Flag] <= 1) {
        record.effect7Flag = bytes[offset::Flag];
    }
    return record;
}

LightingRecord defaultRecord() {
    std::array<std::uint8_t, kRecordSize> bytes{};
    std::copy(kDefaultRecord.begin(), kDefaultRecord.end(), bytes.begin());
    return decodeRecord(bytes);
}

} // namespace tavrik::lighting
