#include "keyboard/KeyMapCodec.h"

#include "keyboard/Catalogues.h"

namespace tavrik::keyboard {

namespace {

constexpr std::uint8_t kSwitchedOff = 0x00;
constexpr std::uint8_t kKeyboardKey = 0x02;
constexpr std::uint8_t kConsumerKey = 0x03;
constexpr std::uint8_t kGenericDesktopKey = 0x04;
constexpr std::uint8_t kMacroKey = 0x05;
constexpr std::uint8_t kGKey = 0x06;

constexpr std::uint8_t kModifier = 0x01;
constexpr std::uint8_t kOrdinary = 0x02;
constexpr std::uint8_t kPlayMacro = 0x01;
constexpr std::uint8_t kStopMacro = 0x02;
constexpr std::uint8_t kFunction = 0x05;
constexpr std::uint8_t kGKeyMark = 0xA2;

constexpr std::size_t kBuiltInPositions = 128;

// Positions 0..127 of the layout the keyboard ships with, one record per
// number: kind, b1 and b2 from the high byte down.
// clang-format off
constexpr std::uint32_t kBuiltInRecords[kBuiltInPositions] = {
    // 0..7
    0x050000, 0x050000, 0x050000, 0x050000, 0x050000, 0x050000, 0x000000, 0x000000,
    // 8..15
    0x020229, 0x020235, 0x02022B, 0x020239, 0x020102, 0x020101, 0x000000, 0x000000,
    // 16..23
    0x02023A, 0x02021E, 0x020214, 0x020204, 0x02021D, 0x020108, 0x000000, 0x000000,
    // 24..31
    0x02023B, 0x02021F, 0x02021A, 0x020216, 0x02021B, 0x020104, 0x000000, 0x000000,
    // 32..39
    0x02023C, 0x020220, 0x020208, 0x020207, 0x020206, 0x02022C, 0x020246, 0x000000,
    // 40..47
    0x02023D, 0x020221, 0x020215, 0x020209, 0x020219, 0x020140, 0x020247, 0x000000,
    // 48..55
    0x02023E, 0x020222, 0x020217, 0x02020A, 0x020205, 0x050202, 0x02022E, 0x000000,
    // 56..63
    0x02023F, 0x020223, 0x02021C, 0x02020B, 0x020211, 0x020265, 0x020248, 0x000000,
    // 64..71
    0x020240, 0x020224, 0x020218, 0x02020D, 0x020210, 0x020110, 0x020249, 0x000000,
    // 72..79
    0x020241, 0x020225, 0x02020C, 0x02020E, 0x020236, 0x020250, 0x02024A, 0x000000,
    // 80..87
    0x020242, 0x020226, 0x020212, 0x02020F, 0x020237, 0x020251, 0x02024B, 0x000000,
    // 88..95
    0x020243, 0x020227, 0x020213, 0x020233, 0x020238, 0x020252, 0x02024C, 0x000000,
    // 96..103
    0x020244, 0x02022D, 0x02022F, 0x020234, 0x020120, 0x02024F, 0x02024D, 0x000000,
    // 104..111
    0x020245, 0x02022E, 0x020230, 0x020231, 0x020228, 0x02022A, 0x02024E, 0x000000,
    // 112..119
    0x03B600, 0x020253, 0x02025F, 0x02025C, 0x020259, 0x020262, 0x020256, 0x000000,
    // 120..127
    0x03CD00, 0x020254, 0x020260, 0x02025D, 0x02025A, 0x020263, 0x000000, 0x000000,
};
// clang-format on

constexpr KeyMapLayer makeBuiltInDefaultLayout() {
    KeyMapLayer page{};
    for (std::size_t k = 0; k < kBuiltInPositions; ++k) {
        page[kHardwareKeyRecordSize * k] = static_cast<std::uint8_t>(kBuiltInRecords[k] >> 16);
        page[kHardwareKeyRecordSize * k + 1] = static_cast<std::uint8_t>(kBuiltInRecords[k] >> 8);
        page[kHardwareKeyRecordSize * k + 2] = static_cast<std::uint8_t>(kBuiltInRecords[k]);
    }
    return page;
}

std::uint16_t wordOf(std::uint8_t low, std::uint8_t high) {
    return static_cast<std::uint16_t>(low | (high << 8));
}

HardwareKeyRecord singleKeyRecord(std::uint32_t value) {
    // A value beyond 16 bits, which only a foreign file brings, names no key.
    const KeyCode code = value <= 0xFFFF ? static_cast<KeyCode>(value) : KeyCode{0};
    if (const ModifierBits bit = modifierBitOf(code); bit != 0) {
        return {kKeyboardKey, kModifier, bit};
    }
    const HidUsage usage = hidUsageOf(code);
    const std::uint8_t keyboardUsage =
        usage.page == kKeyboardPage ? static_cast<std::uint8_t>(usage.usage) : 0;
    return {kKeyboardKey, kOrdinary, keyboardUsage};
}

// The type and value a page record gives the key at its position; Disabled
// for a record that names nothing this program can assign.
KeyAssignment decodedAssignment(HardwareKeyRecord record, KeyAssignment assignment) {
    assignment.type = AssignmentType::Disabled;
    assignment.value = 0;
    auto assign = [&assignment](AssignmentType type, std::uint32_t value) {
        assignment.type = type;
        assignment.value = value;
    };
    if (record.kind == kMacroKey && record.b1 == kPlayMacro) {
        // Macro ids of a read-back area are positions plus one.
        assign(AssignmentType::PlayMacro, record.b2 + 1u);
    } else if (record.kind == kMacroKey && record.b1 == kStopMacro) {
        assign(AssignmentType::StopMacro, 0);
    } else if (record.kind == kMacroKey && record.b1 == kFunction) {
        assign(AssignmentType::Function, record.b2);
    } else if (record.kind == kConsumerKey) {
        if (const auto index = mediaIndexOfUsage(wordOf(record.b1, record.b2))) {
            assign(AssignmentType::Media, static_cast<std::uint32_t>(*index));
        }
    } else if (record.kind == kKeyboardKey && (record.b1 == kOrdinary || record.b1 == kModifier)) {
        // A modifier record without a bit sends nothing, like an unknown usage.
        const KeyCode code = record.b1 == kOrdinary
                                 ? keyCodeOfHidUsage(HidUsage{kKeyboardPage, record.b2})
                                 : keyCodeOfModifierBits(record.b2);
        if (code != 0) {
            assign(AssignmentType::SingleKey, code);
        }
    }
    return assignment;
}

} // namespace

const KeyMapLayer BuiltInDefaultLayout = makeBuiltInDefaultLayout();

HardwareKeyRecord hardwareKeyRecordAt(const KeyMapLayer& page, std::size_t position) {
    if (position >= kKeyPositionCount) {
        return {};
    }
    const std::size_t at = kHardwareKeyRecordSize * position;
    return {page[at], page[at + 1], page[at + 2]};
}

void setHardwareKeyRecordAt(KeyMapLayer& page, std::size_t position, HardwareKeyRecord record) {
    if (position >= kKeyPositionCount) {
        return;
    }
    const std::size_t at = kHardwareKeyRecordSize * position;
    page[at] = record.kind;
    page[at + 1] = record.b1;
    page[at + 2] = record.b2;
}

KeyCode keyCodeOfRecord(HardwareKeyRecord record) {
    switch (record.kind) {
    case kKeyboardKey:
        if (record.b1 == kOrdinary) {
            return keyCodeOfHidUsage(HidUsage{kKeyboardPage, record.b2});
        }
        return keyCodeOfModifierBits(record.b2);
    case kConsumerKey:
        return keyCodeOfHidUsage(HidUsage{kConsumerPage, wordOf(record.b1, record.b2)});
    case kGenericDesktopKey:
        return keyCodeOfHidUsage(HidUsage{kGenericDesktopPage, wordOf(record.b1, record.b2)});
    case kGKey:
        // Only slots 1..18 are G keys; other numbers would alias ordinary rows.
        if (record.b1 == kGKeyMark && record.b2 >= 1 && record.b2 <= kGKeySlotCount) {
            return gKeyCodeOfSlot(record.b2 - 1);
        }
        return 0;
    default:
        return 0;
    }
}

HardwareKeyRecord hardwareRecordOfAssignment(const KeyAssignment& assignment,
                                             HardwareKeyRecord defaultRecord,
                                             const MacroIndexLookup& macroIndexOfId) {
    switch (assignment.type) {
    case AssignmentType::Disabled:
    case AssignmentType::TextBlock:
        return {kSwitchedOff, 0, 0};
    case AssignmentType::SingleKey:
        return singleKeyRecord(assignment.value);
    case AssignmentType::PlayMacro: {
        const auto id = static_cast<std::uint16_t>(assignment.value);
        const std::uint16_t index = macroIndexOfId ? macroIndexOfId(id) : 0;
        return {kMacroKey, kPlayMacro, static_cast<std::uint8_t>(index)};
    }
    case AssignmentType::StopMacro:
        return {kMacroKey, kStopMacro, 0};
    case AssignmentType::Media: {
        const std::uint16_t usage = mediaUsage(assignment.value);
        return {kConsumerKey, static_cast<std::uint8_t>(usage),
                static_cast<std::uint8_t>(usage >> 8)};
    }
    case AssignmentType::Function:
        return {kMacroKey, kFunction, static_cast<std::uint8_t>(assignment.value)};
    case AssignmentType::Default:
    case AssignmentType::LaunchProgram:
    default:
        return defaultRecord;
    }
}

std::optional<KeyMapLayer> buildKeyMapLayer(const AssignmentTable& table, int layer,
                                            const KeyMapLayer& defaultLayout,
                                            const MacroIndexLookup& macroIndexOfId) {
    if (layer < 0 || layer >= kLayerCount) {
        return std::nullopt;
    }
    KeyMapLayer page = defaultLayout;
    for (std::size_t k = 0; k < kKeyPositionCount; ++k) {
        const HardwareKeyRecord defaultRecord = hardwareKeyRecordAt(defaultLayout, k);
        const KeyCode code = keyCodeOfRecord(defaultRecord);
        if (code == 0) {
            continue;
        }
        if (const auto assignment = table.recordOf(layer, keyIndexOf(code))) {
            setHardwareKeyRecordAt(
                page, k, hardwareRecordOfAssignment(*assignment, defaultRecord, macroIndexOfId));
        }
    }
    return page;
}

bool decodeKeyMapLayer(AssignmentTable& table, int layer, const KeyMapLayer& page,
                       const KeyMapLayer& defaultLayout) {
    if (!table.resetLayer(layer)) {
        return false;
    }
    for (std::size_t k = 0; k < kKeyPositionCount; ++k) {
        const HardwareKeyRecord defaultRecord = hardwareKeyRecordAt(defaultLayout, k);
        const HardwareKeyRecord record = hardwareKeyRecordAt(page, k);
        if (record == defaultRecord) {
            continue;
        }
        const KeyIndex row = keyIndexOf(keyCodeOfRecord(defaultRecord));
        if (row == 0) {
            continue;
        }
        if (const auto current = table.recordOf(layer, row)) {
            table.storeRecord(layer, row, decodedAssignment(record, *current));
        }
    }
    return true;
}

} // namespace tavrik::keyboard
