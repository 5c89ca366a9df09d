#include "macro/MacroAreaImage.h"

#include "keyboard/KeyTable.h"
#include "platform/ByteOrder.h"
#include "platform/Unicode.h"
#include "text/LanguageTexts.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::macro {

using keyboard::HidUsage;
using keyboard::KeyCode;
using platform::readU16;
using platform::writeU16;

namespace {

// Usage classes of an encoded action (bits 12..14 of its first word).
constexpr std::uint16_t kNoUsageClass = 0;
constexpr std::uint16_t kKeyboardClass = 2;
constexpr std::uint16_t kConsumerClass = 3;
constexpr std::uint16_t kGenericDesktopClass = 4;
constexpr std::uint16_t kPressBit = 0x8000;

// Key byte 2 of a Keyboard page key: a modifier by its bit, or an ordinary key.
constexpr std::uint8_t kModifierKey = 1;
constexpr std::uint8_t kOrdinaryKey = 2;

std::size_t recordsStart(std::size_t count) {
    return kMacroAreaHeaderSize + 2 * count;
}

std::size_t recordSize(const MacroRecord& record, bool namesIncluded) {
    const std::size_t nameUnits = namesIncluded ? record.name().size() : 0;
    return kMacroAreaRecordHeaderSize + kEncodedActionSize * record.actionCount() + 2 * nameUnits;
}

std::size_t imageSize(std::span<const MacroRecord> records, bool namesIncluded) {
    std::size_t size = recordsStart(records.size());
    for (const MacroRecord& record : records) {
        size += recordSize(record, namesIncluded);
    }
    return size;
}

void writeRecord(const MacroRecord& record, bool namesIncluded, std::uint8_t* out) {
    const std::u16string name = namesIncluded ? record.name() : std::u16string();
    const std::size_t actionCount = record.actionCount();
    writeU16(out, static_cast<std::uint16_t>(actionCount));
    out[2] = record.cycles();
    out[3] = static_cast<std::uint8_t>(name.size());
    out += kMacroAreaRecordHeaderSize;
    for (std::size_t i = 0; i < actionCount; ++i) {
        const auto encoded = encodeMacroAreaAction(record.action(i));
        std::copy(encoded.begin(), encoded.end(), out);
        out += kEncodedActionSize;
    }
    for (const char16_t unit : name) {
        writeU16(out, unit);
        out += 2;
    }
}

KeyCode keyCodeOfKeyBytes(std::uint16_t usageClass, std::uint8_t byte2, std::uint8_t byte3) {
    const auto wide = static_cast<std::uint16_t>(byte2 | (byte3 << 8));
    switch (usageClass) {
    case kKeyboardClass:
        if (byte2 == kOrdinaryKey) {
            return keyboard::keyCodeOfHidUsage(HidUsage{keyboard::kKeyboardPage, byte3});
        }
        return keyboard::keyCodeOfModifierBits(byte3);
    case kConsumerClass:
        return keyboard::keyCodeOfHidUsage(HidUsage{keyboard::kConsumerPage, wide});
    case kGenericDesktopClass:
        return keyboard::keyCodeOfHidUsage(HidUsage{keyboard::kGenericDesktopPage, wide});
    default:
        return 0;
    }
}

std::u16string defaultMacroName(std::size_t position) {
    const std::string number = std::to_string(position + 1);
    std::u16string name = text::languageText("MACRO_NEW_PREFIX");
    name.append(number.begin(), number.end());
    return name;
}

// Macro `index` of the image when it lies whole inside it; none otherwise.
std::optional<MacroRecord> decodeRecord(std::span<const std::uint8_t> image, std::size_t index,
                                        std::size_t declaredCount) {
    const std::size_t entry = kMacroAreaHeaderSize + 2 * index;
    if (entry + 2 > image.size()) {
        return std::nullopt;
    }
    const std::size_t offset = readU16(image.data() + entry);
    if (offset < recordsStart(declaredCount) ||
        offset + kMacroAreaRecordHeaderSize > image.size()) {
        return std::nullopt;
    }
    const std::uint8_t* header = image.data() + offset;
    const std::size_t storedActions = readU16(header);
    const std::size_t nameUnits = header[3];
    const std::size_t nameStart =
        offset + kMacroAreaRecordHeaderSize + kEncodedActionSize * storedActions;
    if (nameStart + 2 * nameUnits > image.size()) {
        return std::nullopt;
    }

    MacroRecord record;
    record.setCycles(header[2]);
    record.setId(static_cast<std::uint16_t>(index + 1));
    const std::size_t actionCount = std::min(storedActions, kMaxActions);
    std::vector<MacroAction> actions;
    actions.reserve(actionCount);
    for (std::size_t i = 0; i < actionCount; ++i) {
        actions.push_back(
            decodeMacroAreaAction(header + kMacroAreaRecordHeaderSize + kEncodedActionSize * i));
    }
    record.setActions(actions);
    std::u16string name;
    for (std::size_t i = 0; i < nameUnits; ++i) {
        name.push_back(static_cast<char16_t>(readU16(image.data() + nameStart + 2 * i)));
    }
    record.setName(name);
    // A stored name that ends before its first unit is no name either.
    if (record.name().empty()) {
        record.setName(defaultMacroName(index));
    }
    return record;
}

} // namespace

// A pause that does not fit the 12-bit field is stored as the longest pause
// the field holds (40950 ms) rather than wrapped into a short one; a negative
// pause, which only a foreign file brings, is stored as none.
std::uint16_t pauseUnits(std::int32_t pause) {
    if (pause <= 0) {
        return 0;
    }
    return static_cast<std::uint16_t>(std::min<std::int32_t>(pause / kPauseUnit, kMaxPauseUnits));
}

std::int32_t playedPause(std::int32_t pause) {
    return pauseUnits(pause) * kPauseUnit;
}

std::array<std::uint8_t, kEncodedActionSize> encodeMacroAreaAction(const MacroAction& action) {
    // Directions other than release are taken as a press, as the editor does.
    const bool press = action.direction != kRelease;
    std::uint16_t usageClass = kNoUsageClass;
    std::uint8_t byte2 = 0;
    std::uint8_t byte3 = 0;
    const keyboard::ModifierBits modifier = keyboard::modifierBitOf(action.keyCode);
    const HidUsage usage = keyboard::hidUsageOf(action.keyCode);
    if (modifier != 0) {
        usageClass = kKeyboardClass;
        byte2 = kModifierKey;
        byte3 = modifier;
    } else if (usage.page == keyboard::kKeyboardPage) {
        usageClass = kKeyboardClass;
        byte2 = kOrdinaryKey;
        byte3 = static_cast<std::uint8_t>(usage.usage);
    } else if (usage.page == keyboard::kConsumerPage ||
               usage.page == keyboard::kGenericDesktopPage) {
        usageClass = usage.page == keyboard::kConsumerPage ? kConsumerClass : kGenericDesktopClass;
        byte2 = static_cast<std::uint8_t>(usage.usage);
        byte3 = static_cast<std::uint8_t>(usage.usage >> 8);
    }
    const auto word = static_cast<std::uint16_t>(pauseUnits(action.pause) | (usageClass << 12) |
                                                 (press ? kPressBit : 0));
    std::array<std::uint8_t, kEncodedActionSize> bytes{};
    writeU16(bytes.data(), word);
    bytes[2] = byte2;
    bytes[3] = byte3;
    return bytes;
}

MacroAction decodeMacroAreaAction(const std::uint8_t* bytes) {
    const std::uint16_t word = readU16(bytes);
    MacroAction action;
    action.pause = (word & kMaxPauseUnits) * kPauseUnit;
    action.direction = (word & kPressBit) != 0 ? kPress : kRelease;
    action.keyCode = keyCodeOfKeyBytes((word >> 12) & 0x7, bytes[2], bytes[3]);
    return action;
}

MacroAreaSizes measureMacroAreaImage(std::span<const MacroRecord> records) {
    return MacroAreaSizes{imageSize(records, false), imageSize(records, true)};
}

bool buildMacroAreaImage(std::span<const MacroRecord> records, std::span<std::uint8_t> image,
                         bool namesIncluded) {
    if (records.size() > kMaxMacros || image.size() < imageSize(records, namesIncluded) ||
        image.size() > std::numeric_limits<std::uint16_t>::max()) {
        return false;
    }
    // The reserved header bytes, which no reader looks at, and any room behind
    // the last record stay zero.
    std::fill(image.begin(), image.end(), std::uint8_t{0});
    writeU16(image.data(), kMacroAreaMagic);
    writeU16(image.data() + 2, static_cast<std::uint16_t>(image.size()));
    writeU16(image.data() + 4, static_cast<std::uint16_t>(records.size()));
    writeU16(image.data() + 6, namesIncluded ? 1 : 0);
    std::size_t position = recordsStart(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        writeU16(image.data() + kMacroAreaHeaderSize + 2 * i, static_cast<std::uint16_t>(position));
        writeRecord(records[i], namesIncluded, image.data() + position);
        position += recordSize(records[i], namesIncluded);
    }
    return true;
}

std::size_t decodeMacroAreaImage(std::span<const std::uint8_t> image, MacroList& records) {
    records.clear();
    if (image.size() < kMacroAreaHeaderSize || readU16(image.data()) != kMacroAreaMagic) {
        return 0;
    }
    const std::size_t declaredCount = readU16(image.data() + 4);
    const std::size_t count = std::min(declaredCount, kMaxMacros);
    for (std::size_t i = 0; i < count; ++i) {
        if (auto record = decodeRecord(image, i, declaredCount)) {
            records.push_back(*record);
        }
    }
    return records.size();
}

} // namespace tavrik::macro
