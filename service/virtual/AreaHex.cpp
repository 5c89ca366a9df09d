#include "service/virtual/AreaHex.h"

#include <charconv>
#include <cstdio>

namespace tavrik::service {
namespace {

constexpr std::size_t kBytesPerLine = 16;

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'a' && digit <= 'f') {
        return digit - 'a' + 10;
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1;
}

// Splits off the next line (without its '\n').
std::string_view takeLine(std::string_view& text) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    return line;
}

bool parseDataLine(std::string_view line, std::size_t expectedOffset,
                   std::vector<std::uint8_t>& bytes) {
    const std::size_t colon = line.find(':');
    std::size_t offset = 0;
    if (colon == std::string_view::npos ||
        std::from_chars(line.data(), line.data() + colon, offset, 16).ptr != line.data() + colon ||
        offset != expectedOffset) {
        return false;
    }
    std::string_view rest = line.substr(colon + 1);
    std::size_t count = 0;
    while (!rest.empty()) {
        if (rest.size() < 3 || rest[0] != ' ' || hexValue(rest[1]) < 0 || hexValue(rest[2]) < 0 ||
            ++count > kBytesPerLine) {
            return false;
        }
        bytes.push_back(static_cast<std::uint8_t>(hexValue(rest[1]) * 16 + hexValue(rest[2])));
        rest.remove_prefix(3);
    }
    return count > 0;
}

} // namespace

std::string formatArea(std::string_view name, std::span<const std::uint8_t> bytes) {
    std::string text(name);
    text += ' ' + std::to_string(bytes.size()) + '\n';
    for (std::size_t offset = 0; offset < bytes.size(); offset += kBytesPerLine) {
        char field[24];
        std::snprintf(field, sizeof field, "%04zx:", offset);
        text += field;
        for (std::size_t i = offset; i < bytes.size() && i < offset + kBytesPerLine; ++i) {
            std::snprintf(field, sizeof field, " %02x", bytes[i]);
            text += field;
        }
        text += '\n';
    }
    return text;
}

bool parseArea(std::string_view text, std::string& name, std::vector<std::uint8_t>& bytes) {
    const std::string_view header = takeLine(text);
    const std::size_t space = header.find(' ');
    std::size_t size = 0;
    if (space == std::string_view::npos || space == 0 ||
        std::from_chars(header.data() + space + 1, header.data() + header.size(), size).ptr !=
            header.data() + header.size()) {
        return false;
    }
    name.assign(header.substr(0, space));
    bytes.clear();
    while (bytes.size() < size) {
        if (text.empty() || !parseDataLine(takeLine(text), bytes.size(), bytes)) {
            return false;
        }
    }
    return bytes.size() == size && (text.empty() || text == "\n");
}

} // namespace tavrik::service
