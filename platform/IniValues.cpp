#include "platform/IniValues.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

namespace tavrik::platform {
namespace {

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Reads blanks, a sign and digits from `at`. Nothing when no digit follows.
std::optional<int> readNumber(std::u16string_view text, std::size_t& at) {
    while (at < text.size() && isBlank(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
        negative = text[at] == u'-';
        ++at;
    }
    if (at >= text.size() || !isDigit(text[at])) {
        return std::nullopt;
    }
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT_MIN) : INT_MAX;
    std::int64_t magnitude = 0;
    while (at < text.size() && isDigit(text[at])) {
        magnitude = std::min(magnitude * 10 + (text[at] - u'0'), limit);
        ++at;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

} // namespace

int parseIniInteger(std::u16string_view text) {
    std::size_t at = 0;
    return readNumber(text, at).value_or(0);
}

int readIniInteger(const IniFile& file, std::u16string_view section, std::u16string_view key,
                   std::u16string_view defaultValue) {
    return parseIniInteger(file.readString(section, key, defaultValue));
}

int readIniInteger(const IniSnapshot& file, std::u16string_view section, std::u16string_view key,
                   std::u16string_view defaultValue) {
    return parseIniInteger(file.readString(section, key, defaultValue));
}

LayoutRectangle parseLayoutRectangle(std::u16string_view text) {
    int fields[4] = {};
    std::size_t at = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        if (i > 0) {
            if (at >= text.size() || text[at] != u',') {
                return {};
            }
            ++at;
        }
        const std::optional<int> number = readNumber(text, at);
        if (!number) {
            return {};
        }
        fields[i] = *number;
    }
    return {fields[0], fields[1], fields[2], fields[3]};
}

LayoutRectangle readLayoutRectangle(const IniFile& file, std::u16string_view section,
                                    std::u16string_view key) {
    return parseLayoutRectangle(file.readString(section, key, kDefaultLayoutRectangle));
}

LayoutRectangle readLayoutRectangle(const IniSnapshot& file, std::u16string_view section,
                                    std::u16string_view key) {
    return parseLayoutRectangle(file.readString(section, key, kDefaultLayoutRectangle));
}

} // namespace tavrik::platform
