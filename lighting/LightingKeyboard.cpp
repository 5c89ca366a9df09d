#include "lighting/LightingKeyboard.h"

#include "device/Commands.h"

#include <algorithm>

namespace tavrik::lighting {
namespace {

namespace result = device::result;

// A write sequence that keeps its first failure. Nothing is sent after a
// refused beginWrite; after a failed data command the rest of the data is
// dropped, but a sequence that began is always ended.
class Sequence {
public:
    Sequence() : code_(device::beginWrite()), began_(code_ == result::Success) {}

    template <typename Command> void send(Command&& command) {
        if (code_ == result::Success) {
            code_ = command();
        }
    }
    int end() {
        if (began_) {
            const int ended = device::endWrite();
            if (code_ == result::Success) {
                code_ = ended;
            }
        }
        return code_;
    }

private:
    int code_;
    bool began_;
};

int readZones(std::array<ZoneColours, kProfileCount>& zones) {
    for (int profile = 0; profile < kProfileCount; ++profile) {
        std::array<std::uint8_t, device::kSinglePacketBlockSize> bytes{};
        const int code = device::readColours(bytes, kZoneTableSize, 0, profile);
        if (code != result::Success) {
            return code;
        }
        ZoneColours& colours = zones[static_cast<std::size_t>(profile)];
        for (std::size_t slot = 0; slot < colours.size(); ++slot) {
            colours[slot] = colourFromBytes(std::span(bytes).subspan(3 * slot).first<3>());
        }
    }
    return result::Success;
}

int readRecords(KeyboardLighting& lighting) {
    for (int profile = 0; profile < kProfileCount; ++profile) {
        std::array<std::uint8_t, device::kSinglePacketBlockSize> bytes{};
        const int code = device::readParameters(bytes, kRecordReadSize, recordAddress(profile));
        if (code != result::Success) {
            return code;
        }
        std::copy_n(bytes.begin(), kRecordSize,
                    lighting.records[static_cast<std::size_t>(profile)].begin());
    }
    return result::Success;
}

} // namespace

int readKeyboardLighting(bool withZones, KeyboardLighting& out) {
    std::array<std::uint8_t, kDeviceInfoSize> info{};
    const int infoCode = device::readDeviceInfo(info);
    if (infoCode != result::Success) {
        return infoCode;
    }
    KeyboardLighting lighting;
    lighting.effects = EffectList::fromDeviceInfo(info);
    Sequence sequence;
    if (withZones && lighting.effects.offers(kZoneEffect)) {
        lighting.zones.emplace();
        sequence.send([&] { return readZones(*lighting.zones); });
    }
    sequence.send([&] { return readRecords(lighting); });
    const int code = sequence.end();
    if (code == result::Success) {
        out = std::move(lighting);
    }
    return code;
}

int writeRecordFields(int profile, std::span<const RecordField> fields) {
    Sequence sequence;
    for (const RecordField& field : fields) {
        sequence.send([&] {
            return device::writeParameters(
                field.bytes, recordAddress(profile) + static_cast<std::uint32_t>(field.offset));
        });
    }
    return sequence.end();
}

int writeRecordByte(int profile, std::size_t offset, std::uint8_t value) {
    const std::uint8_t bytes[] = {value};
    const RecordField field{offset, bytes};
    return writeRecordFields(profile, std::span(&field, 1));
}

int writeZoneColour(int profile, int zone, Colour colour) {
    const std::array<std::uint8_t, 3> bytes = colourBytes(colour);
    Sequence sequence;
    for (const int slot : {firstSlotOfZone(zone), firstSlotOfZone(zone) + 1}) {
        sequence.send([&] { return device::writeColours(bytes, slot, profile); });
    }
    return sequence.end();
}

int writeDefaultRecord(int profile) {
    const RecordField field{0, kDefaultRecord};
    return writeRecordFields(profile, std::span(&field, 1));
}

} // namespace tavrik::lighting
