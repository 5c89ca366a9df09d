#include "service/virtual/DefaultLayout.h"

namespace tavrik::service {
namespace {

struct Record {
    std::uint8_t kind;
    std::uint8_t first;
    std::uint8_t second;
};

constexpr Record kOff{0x00, 0x00, 0x00};
constexpr Record kUnnamed{0x05, 0x00, 0x00};

constexpr Record key(std::uint8_t usage) {
    return {0x02, 0x02, usage};
}
constexpr Record modifier(std::uint8_t bits) {
    return {0x02, 0x01, bits};
}
constexpr Record consumer(std::uint8_t usage) {
    return {0x03, usage, 0x00};
}

// Positions 0..127, eight to a row. The kind-5 records at positions 0..5 and
// 53 name no key, so every page keeps them as they are.
// clang-format off
constexpr Record kPositions[128] = {
    kUnnamed,       kUnnamed,  kUnnamed,  kUnnamed,  kUnnamed,       kUnnamed,            kOff,      kOff, //   0
    key(0x29),      key(0x35), key(0x2B), key(0x39), modifier(0x02), modifier(0x01),      kOff,      kOff, //   8
    key(0x3A),      key(0x1E), key(0x14), key(0x04), key(0x1D),      modifier(0x08),      kOff,      kOff, //  16
    key(0x3B),      key(0x1F), key(0x1A), key(0x16), key(0x1B),      modifier(0x04),      kOff,      kOff, //  24
    key(0x3C),      key(0x20), key(0x08), key(0x07), key(0x06),      key(0x2C),           key(0x46), kOff, //  32
    key(0x3D),      key(0x21), key(0x15), key(0x09), key(0x19),      modifier(0x40),      key(0x47), kOff, //  40
    key(0x3E),      key(0x22), key(0x17), key(0x0A), key(0x05),      {0x05, 0x02, 0x02},  key(0x2E), kOff, //  48
    key(0x3F),      key(0x23), key(0x1C), key(0x0B), key(0x11),      key(0x65),           key(0x48), kOff, //  56
    key(0x40),      key(0x24), key(0x18), key(0x0D), key(0x10),      modifier(0x10),      key(0x49), kOff, //  64
    key(0x41),      key(0x25), key(0x0C), key(0x0E), key(0x36),      key(0x50),           key(0x4A), kOff, //  72
    key(0x42),      key(0x26), key(0x12), key(0x0F), key(0x37),      key(0x51),           key(0x4B), kOff, //  80
    key(0x43),      key(0x27), key(0x13), key(0x33), key(0x38),      key(0x52),           key(0x4C), kOff, //  88
    key(0x44),      key(0x2D), key(0x2F), key(0x34), modifier(0x20), key(0x4F),           key(0x4D), kOff, //  96
    key(0x45),      key(0x2E), key(0x30), key(0x31), key(0x28),      key(0x2A),           key(0x4E), kOff, // 104
    consumer(0xB6), key(0x53), key(0x5F), key(0x5C), key(0x59),      key(0x62),           key(0x56), kOff, // 112
    consumer(0xCD), key(0x54), key(0x60), key(0x5D), key(0x5A),      key(0x63),           kOff,      kOff, // 120
};
// clang-format on

constexpr std::array<std::uint8_t, kLayoutSize> buildLayout() {
    std::array<std::uint8_t, kLayoutSize> layout{};
    for (std::size_t position = 0; position < 128; ++position) {
        layout[3 * position] = kPositions[position].kind;
        layout[3 * position + 1] = kPositions[position].first;
        layout[3 * position + 2] = kPositions[position].second;
    }
    // The G keys have positions of their own, so every slot can be assigned.
    for (std::size_t slot = 0; slot < kGKeySlotCount; ++slot) {
        const std::size_t position = kFirstGKeyPosition + slot;
        layout[3 * position] = 0x06;
        layout[3 * position + 1] = 0xA2;
        layout[3 * position + 2] = static_cast<std::uint8_t>(slot + 1);
    }
    return layout;
}

constexpr std::array<std::uint8_t, kLayoutSize> kLayout = buildLayout();

} // namespace

const std::array<std::uint8_t, kLayoutSize>& defaultLayout() {
    return kLayout;
}

} // namespace tavrik::service
