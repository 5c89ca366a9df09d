#include "tools/vkbd/KeyboardDump.h"

#include "keyboard/Catalogues.h"
#include "keyboard/KeyTable.h"
#include "macro/MacroAreaImage.h"
#include "platform/ByteOrder.h"
#include "platform/Unicode.h"

#include <cstdio>

namespace tavrik::vkbd {
namespace {

using keyboard::HidUsage;
using keyboard::KeyCode;

constexpr std::size_t kActiveProfileByte = 10;
constexpr std::size_t kMacroUnitsByte = 11;
constexpr std::size_t kFirstEffectByte = 12;
constexpr std::size_t kInfoSize = 44;
constexpr std::size_t kPositionCount = 160;
constexpr std::size_t kPageSize = 512;
constexpr std::size_t kLightingRecordSize = 42;
constexpr std::size_t kZoneTableSize = 36;
constexpr std::size_t kProfileCount = 3;
constexpr std::size_t kGKeysPerBank = 9;

std::string format(const char* pattern, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string hex(const std::vector<std::uint8_t>& bytes, std::size_t offset, std::size_t count) {
    std::string text;
    for (std::size_t i = offset; i < offset + count && i < bytes.size(); ++i) {
        text += format(i == offset ? "%02X" : " %02X", bytes[i]);
    }
    return text;
}

std::string nameOf(KeyCode code) {
    return platform::toUtf8(keyboard::keyName(code));
}

std::string usageText(const char* what, std::uint16_t page, std::uint16_t usage) {
    std::string text = format("%s usage 0x%04X", what, usage);
    const KeyCode code = keyboard::keyCodeOfHidUsage(HidUsage{page, usage});
    if (code != 0) {
        text += " (" + nameOf(code) + ")";
    }
    return text;
}

std::string modifierText(std::uint8_t bits) {
    if (bits == 0) {
        return "modifier none";
    }
    std::string text = "modifier";
    for (int bit = 0; bit < 8; ++bit) {
        if (bits & (1 << bit)) {
            text += (text.size() == 8 ? " " : " + ") +
                    nameOf(keyboard::keyCodeOfModifierBits(static_cast<std::uint8_t>(1 << bit)));
        }
    }
    return text;
}

bool complete(std::string& out, const char* title, const std::vector<std::uint8_t>& bytes,
              std::size_t size) {
    if (bytes.size() >= size) {
        return true;
    }
    out += format("%s: missing (%zu of %zu bytes)\n\n", title, bytes.size(), size);
    return false;
}

void describeInfo(std::string& out, const std::vector<std::uint8_t>& info) {
    if (!complete(out, "Device information", info, kInfoSize)) {
        return;
    }
    out += "Device information\n";
    out += format("  active profile   %u (profile %u)\n", info[kActiveProfileByte],
                  info[kActiveProfileByte] + 1u);
    out += format("  macro memory     %u units of 128 bytes = %u bytes\n", info[kMacroUnitsByte],
                  info[kMacroUnitsByte] * 128u);
    out += "  effects          ";
    for (std::size_t i = kFirstEffectByte; i < kInfoSize; ++i) {
        if (info[i] != 0) {
            out += format("%u ", info[i]);
        }
    }
    out += "\n  bytes 0..9       " + hex(info, 0, kActiveProfileByte) + "\n\n";
}

void describePage(std::string& out, std::size_t page, const std::vector<std::uint8_t>& bytes,
                  const std::vector<std::uint8_t>& layout) {
    const std::string title = format("Key map of profile %zu (page%zu)", page + 1, page);
    if (!complete(out, title.c_str(), bytes, kPageSize)) {
        return;
    }
    const bool haveLayout = layout.size() >= kPageSize;
    out += title + "   * differs from the default layout\n";
    std::size_t changed = 0;
    for (std::size_t position = 0; position < kPositionCount; ++position) {
        const std::size_t at = 3 * position;
        const bool differs =
            haveLayout && (bytes[at] != layout[at] || bytes[at + 1] != layout[at + 1] ||
                           bytes[at + 2] != layout[at + 2]);
        const bool unused =
            haveLayout && !differs && layout[at] == 0 && layout[at + 1] == 0 && layout[at + 2] == 0;
        if (unused) {
            continue;
        }
        changed += differs ? 1 : 0;
        out += format(" %c %3zu  %s  ", differs ? '*' : ' ', position, hex(bytes, at, 3).c_str());
        out += describeKeyRecord(bytes[at], bytes[at + 1], bytes[at + 2]);
        if (differs) {
            out += "   (default: " + describeKeyRecord(layout[at], layout[at + 1], layout[at + 2]) +
                   ")";
        }
        out += '\n';
    }
    out += format("  %zu position(s) differ\n\n", changed);
}

void describeMacros(std::string& out, const std::vector<std::uint8_t>& image) {
    if (image.size() < macro::kMacroAreaHeaderSize ||
        platform::readU16(image.data()) != macro::kMacroAreaMagic) {
        out += "Macro area: no macro image (no 0x55AA magic)\n\n";
        return;
    }
    const std::uint16_t total = platform::readU16(&image[2]);
    const std::uint16_t count = platform::readU16(&image[4]);
    const std::uint16_t names = platform::readU16(&image[6]);
    out += format("Macro area: %u bytes, %u macro(s), names %s\n", total, count,
                  names != 0 ? "stored" : "not stored");
    macro::MacroList macros;
    macro::decodeMacroAreaImage(image, macros);
    for (std::size_t index = 0; index < macros.size(); ++index) {
        const macro::MacroRecord& record = macros[index];
        out += format("  macro %zu \"", index) + platform::toUtf8(record.name()) +
               format("\", %u cycle(s), %zu action(s)\n", record.cycles(), record.actionCount());
        for (const macro::MacroAction& action : record.actions()) {
            out += format("    %-7s ", action.direction == macro::kPress ? "press" : "release") +
                   (action.keyCode != 0 ? nameOf(action.keyCode) : std::string("(no key)"));
            if (action.pause != 0) {
                out += format(", pause %d ms", action.pause);
            }
            out += '\n';
        }
    }
    out += '\n';
}

std::string colour(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return format("%02X%02X%02X", bytes[offset], bytes[offset + 1], bytes[offset + 2]);
}

// Byte 15: a value above 3 counts as 3.
std::string reportRateText(std::uint8_t rate) {
    return rate <= 3 ? format("%u", rate) : format("%u (counts as 3)", rate);
}

// Byte 17: 0 red, 1 yellow, 2 green, 3 blue; any other value counts as 0.
std::string presetText(std::uint8_t preset) {
    static const char* const names[] = {"red", "yellow", "green", "blue"};
    return format("%u (%s)", preset, names[preset < 4 ? preset : 0]);
}

std::string onOff(std::uint8_t flag) {
    return flag != 0 ? "on" : "off";
}

void describeLighting(std::string& out, const std::vector<std::uint8_t>& lighting) {
    if (!complete(out, "Lighting", lighting, kProfileCount * kLightingRecordSize)) {
        return;
    }
    for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
        const std::size_t at = profile * kLightingRecordSize;
        const auto byte = [&](std::size_t offset) { return lighting[at + offset]; };
        out +=
            format("Lighting of profile %zu: effect %u, brightness %u, speed %u, direction %u "
                   "(%s), random colour %s, colour %s, report rate %s, preset colour %s\n",
                   profile + 1, byte(0), byte(1), byte(2), byte(3), byte(3) == 1 ? "left" : "right",
                   onOff(byte(4)).c_str(), colour(lighting, at + 5).c_str(),
                   reportRateText(byte(15)).c_str(), presetText(byte(17)).c_str());
        out += format("  base colour %s, second colour %s (random %s), third colour %s (random "
                      "%s), flag %u, trigger mode %u\n",
                      colour(lighting, at + 9).c_str(), colour(lighting, at + 25).c_str(),
                      onOff(byte(28)).c_str(), colour(lighting, at + 30).c_str(),
                      onOff(byte(33)).c_str(), byte(18), byte(19));
        out += "  " + hex(lighting, at, kLightingRecordSize) + "\n";
    }
    out += '\n';
}

void describeZones(std::string& out, const std::vector<std::uint8_t>& zones) {
    if (!complete(out, "Zone colours", zones, kProfileCount * kZoneTableSize)) {
        return;
    }
    for (std::size_t profile = 0; profile < kProfileCount; ++profile) {
        out += format("Zone colours of profile %zu:", profile + 1);
        for (std::size_t slot = 0; slot < 12; ++slot) {
            out += (slot % 2 == 0 ? format("  zone %zu ", slot / 2) : std::string("/")) +
                   colour(zones, profile * kZoneTableSize + 3 * slot);
        }
        out += '\n';
    }
    out += '\n';
}

void describeLed(std::string& out, const std::vector<std::uint8_t>& led) {
    if (led.size() < 2 || led[0] == 0) {
        out += "LED report: none written\n";
        return;
    }
    out += "LED report: " + hex(led, 0, 2) + ((led[1] & 1) != 0 ? " (bank B)\n" : " (bank A)\n");
}

} // namespace

std::string describeKeyRecord(std::uint8_t kind, std::uint8_t b1, std::uint8_t b2) {
    const auto wide = static_cast<std::uint16_t>(b1 | (b2 << 8));
    if (kind == 0 && b1 == 0 && b2 == 0) {
        return "off";
    }
    if (kind == 0x02 && b1 == 0x02) {
        const KeyCode code = keyboard::keyCodeOfHidUsage(HidUsage{keyboard::kKeyboardPage, b2});
        return code != 0 ? "key " + nameOf(code) : format("keyboard usage 0x%02X", b2);
    }
    if (kind == 0x02 && b1 == 0x01) {
        return modifierText(b2);
    }
    if (kind == 0x03) {
        return usageText("media", keyboard::kConsumerPage, wide);
    }
    if (kind == 0x04) {
        return usageText("system", keyboard::kGenericDesktopPage, wide);
    }
    if (kind == 0x05 && b1 == 0x01) {
        return format("macro %u", b2);
    }
    if (kind == 0x05 && b1 == 0x02) {
        return "stop macro";
    }
    if (kind == 0x05 && b1 == 0x05) {
        const std::string text = platform::toUtf8(keyboard::functionText(b2));
        return format("function %u", b2) + (text.empty() ? "" : " (" + text + ")");
    }
    if (kind == 0x06 && b1 == 0xA2 && b2 >= 1 && b2 <= 2 * kGKeysPerBank) {
        const unsigned slot = b2 - 1u;
        return format("G key %c%u", slot < kGKeysPerBank ? 'A' : 'B', slot % kGKeysPerBank + 1);
    }
    return format("no key (%02X %02X %02X)", kind, b1, b2);
}

std::string describeKeyboard(const KeyboardAreas& areas) {
    std::string out;
    describeInfo(out, areas.info);
    for (std::size_t page = 0; page < areas.pages.size(); ++page) {
        describePage(out, page, areas.pages[page], areas.layout);
    }
    describeMacros(out, areas.macro);
    describeLighting(out, areas.lighting);
    describeZones(out, areas.zones);
    describeLed(out, areas.led);
    return out;
}

} // namespace tavrik::vkbd
