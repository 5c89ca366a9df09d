#include "tools/tavrikctl/ProfileDump.h"

#include "keyboard/Catalogues.h"
#include "keyboard/KeyTable.h"
#include "keyboard/ProfileFileHeader.h"
#include "macro/MacroList.h"
#include "platform/Unicode.h"
#include "profile/ProfileFile.h"
#include "sync/DataSets.h"

#include <cstdio>
#include <sstream>

namespace tavrik::tools {
namespace {

using keyboard::AssignmentType;
using keyboard::KeyAssignment;

constexpr int kKeyboardProfiles = 3;

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// A text in double quotes, with control characters escaped.
std::string quoted(std::u16string_view text) {
    std::string out = "\"";
    for (const char16_t c : text) {
        if (c == u'"' || c == u'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == u'\n') {
            out += "\\n";
        } else if (c == u'\r') {
            out += "\\r";
        } else if (c == u'\t') {
            out += "\\t";
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += platform::toUtf8(std::u16string_view(&c, 1));
        }
    }
    return out + "\"";
}

std::string keyNameOf(keyboard::KeyCode code) {
    return platform::toUtf8(keyboard::keyName(code));
}

std::string rowName(int row) {
    if (row >= keyboard::kFirstGKeyRow &&
        row < keyboard::kFirstGKeyRow + keyboard::kGKeySlotCount) {
        const int slot = row - keyboard::kFirstGKeyRow;
        const bool bankB = slot >= keyboard::kGKeyCount;
        return "G" + std::to_string(slot % keyboard::kGKeyCount + 1) + (bankB ? " (bank B)" : "");
    }
    if (row < static_cast<int>(keyboard::kKeyTableRowCount)) {
        return keyNameOf(keyboard::keyCodeOfIndex(static_cast<keyboard::KeyIndex>(row)));
    }
    return "row " + std::to_string(row);
}

std::string stringOf(const sync::WorkingSet& set, int layer, int row) {
    const auto text = set.strings.text(*keyboard::StringTable::entryOf(layer, row));
    return text ? quoted(*text) : "(no string)";
}

std::string macroDescription(const sync::WorkingSet& set, const KeyAssignment& assignment) {
    const auto id = static_cast<std::uint16_t>(assignment.value);
    std::string text = "plays macro " + std::to_string(id);
    const macro::MacroRecord* found = nullptr;
    for (const macro::MacroRecord& record : set.macros) {
        if (record.id() == id) {
            found = &record;
            break;
        }
    }
    text += found != nullptr ? " " + quoted(found->name()) : " (no such macro)";
    return text + ", tag " + std::to_string(assignment.tag);
}

std::string describe(const sync::WorkingSet& set, int layer, int row,
                     const KeyAssignment& assignment) {
    switch (assignment.type) {
    case AssignmentType::Disabled:
        return "disabled";
    case AssignmentType::SingleKey:
        return "sends " + keyNameOf(static_cast<keyboard::KeyCode>(assignment.value));
    case AssignmentType::LaunchProgram:
        return "launches " + stringOf(set, layer, row);
    case AssignmentType::PlayMacro:
        return macroDescription(set, assignment);
    case AssignmentType::StopMacro:
        return "stops the macro";
    case AssignmentType::TextBlock:
        return "types " + stringOf(set, layer, row);
    case AssignmentType::Media:
        if (assignment.value < keyboard::kMediaCount) {
            return "media " + keyNameOf(keyboard::mediaKeyCode(assignment.value));
        }
        return "media " + std::to_string(assignment.value) + " (not in the catalogue)";
    case AssignmentType::Function:
        if (assignment.value < keyboard::kFunctionCount) {
            return "function " + platform::toUtf8(keyboard::functionText(assignment.value));
        }
        return "function " + std::to_string(assignment.value) + " (not in the catalogue)";
    default:
        return "type " + std::to_string(static_cast<unsigned>(assignment.type)) + ", value " +
               std::to_string(assignment.value);
    }
}

void dumpHeader(std::span<const std::uint8_t> image, std::ostringstream& out) {
    out << "header\n";
    if (image.size() < keyboard::kProfileFileHeaderSize) {
        out << "  (the file is too short for a header)\n";
        return;
    }
    const auto bytes = image.first<keyboard::kProfileFileHeaderSize>();
    const keyboard::ProfileFileHeader header = keyboard::readProfileFileHeader(bytes);
    const std::uint8_t checksum = keyboard::profileHeaderChecksum(bytes);
    out << "  magic        " << hex(header.magic) << '\n'
        << "  header size  " << header.headerSize << '\n'
        << "  constants    " << header.constantAt4 << ", " << header.constantAt6 << '\n'
        << "  total size   " << header.totalSize << '\n'
        << "  key records  " << header.keyRecordCount << '\n'
        << "  macros       " << header.macroCount << '\n'
        << "  string pool  " << header.stringPoolSize << '\n'
        << "  flag         " << static_cast<unsigned>(header.flag) << '\n'
        << "  checksum     " << hex(header.checksum)
        << (header.checksum == checksum ? " (correct)"
                                        : " (wrong, the bytes give " + hex(checksum) + ")")
        << '\n'
        << "  acceptable   "
        << (profile::isProfileHeaderAcceptable(image) &&
                    image.size() >= keyboard::kAssignmentTableBytes
                ? "yes"
                : "no")
        << '\n';
}

void dumpLayer(const sync::WorkingSet& set, int layer, std::ostringstream& out) {
    out << (layer < kKeyboardProfiles ? "profile " + std::to_string(layer + 1)
                                      : std::string("layer 4 (kept in files only)"))
        << '\n';
    for (int row = 0; row < keyboard::kRowsPerLayer; ++row) {
        const KeyAssignment assignment = *set.table.recordOf(layer, row);
        if (assignment.type != AssignmentType::Default) {
            out << "  " << rowName(row) << ": " << describe(set, layer, row, assignment) << '\n';
        }
    }
}

void dumpMacros(const sync::WorkingSet& set, std::ostringstream& out) {
    out << "macros\n";
    for (std::size_t i = 0; i < set.macros.size(); ++i) {
        const macro::MacroRecord& record = set.macros[i];
        out << "  " << i + 1 << ". " << quoted(record.name()) << ": id " << record.id()
            << ", cycles " << static_cast<unsigned>(record.cycles()) << ", " << record.actionCount()
            << " actions\n";
        for (const macro::MacroAction& action : record.actions()) {
            out << "      " << (action.direction == macro::kRelease ? "release " : "press ")
                << keyNameOf(action.keyCode) << ", then " << action.pause << " ms\n";
        }
    }
}

} // namespace

std::string dumpProfileImage(std::span<const std::uint8_t> image) {
    std::ostringstream out;
    dumpHeader(image, out);
    if (image.size() < keyboard::kAssignmentTableBytes) {
        out << "(the file is shorter than an assignment table)\n";
        return out.str();
    }
    sync::WorkingSet set;
    profile::loadProfileImage(image, set);
    for (int layer = 0; layer < keyboard::kLayerCount; ++layer) {
        dumpLayer(set, layer, out);
    }
    dumpMacros(set, out);
    return out.str();
}

} // namespace tavrik::tools
