#include "text/TextFormat.h"

#include <algorithm>
#include <functional>
#include <optional>

namespace tavrik::text {
namespace {

struct Directive {
    bool leftAlign = false;
    bool zeroPad = false;
    bool alternate = false;
    bool plusSign = false;
    bool spaceSign = false;
    std::size_t width = 0;
    bool hasPrecision = false;
    std::size_t precision = 0;
    char16_t conversion = 0;
    std::size_t length = 0; // characters of the directive, '%' included
};

bool isIntegerConversion(char16_t c) {
    return c == u'd' || c == u'i' || c == u'u' || c == u'o' || c == u'x' || c == u'X';
}

bool isTextConversion(char16_t c) {
    return c == u's' || c == u'S';
}

std::size_t readNumber(std::u16string_view text, std::size_t& position) {
    std::size_t value = 0;
    while (position < text.size() && text[position] >= u'0' && text[position] <= u'9') {
        value = std::min(value * 10 + static_cast<std::size_t>(text[position] - u'0'),
                         kLargestFormatWidth);
        ++position;
    }
    return value;
}

void readFlags(std::u16string_view text, std::size_t& position, Directive& directive) {
    for (; position < text.size(); ++position) {
        const char16_t c = text[position];
        if (c == u'-') {
            directive.leftAlign = true;
        } else if (c == u'0') {
            directive.zeroPad = true;
        } else if (c == u'#') {
            directive.alternate = true;
        } else if (c == u'+') {
            directive.plusSign = true;
        } else if (c == u' ') {
            directive.spaceSign = true;
        } else {
            return;
        }
    }
}

// Parses the directive that starts with the '%' at start.
Directive parseDirective(std::u16string_view text, std::size_t start) {
    Directive directive;
    std::size_t position = start + 1;
    readFlags(text, position, directive);
    directive.width = readNumber(text, position);
    if (position < text.size() && text[position] == u'.') {
        ++position;
        directive.hasPrecision = true;
        directive.precision = readNumber(text, position);
    }
    while (position < text.size() && (text[position] == u'h' || text[position] == u'l')) {
        ++position;
    }
    if (position < text.size()) {
        directive.conversion = text[position];
        ++position;
    }
    directive.length = position - start;
    return directive;
}

std::u16string digitsOf(std::uint64_t value, char16_t conversion) {
    const unsigned base = conversion == u'o'                           ? 8
                          : (conversion == u'x' || conversion == u'X') ? 16
                                                                       : 10;
    const char* symbols = conversion == u'X' ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(symbols[value % base]));
        value /= base;
    } while (value != 0);
    return digits;
}

std::u16string padded(const Directive& directive, const std::u16string& prefix,
                      const std::u16string& body) {
    const std::size_t used = prefix.size() + body.size();
    if (used >= directive.width) {
        return prefix + body;
    }
    const std::size_t fill = directive.width - used;
    if (directive.leftAlign) {
        return prefix + body + std::u16string(fill, u' ');
    }
    if (directive.zeroPad && !directive.hasPrecision && isIntegerConversion(directive.conversion)) {
        return prefix + std::u16string(fill, u'0') + body;
    }
    return std::u16string(fill, u' ') + prefix + body;
}

std::u16string formatInteger(const Directive& directive, std::int64_t value) {
    const bool isSigned = directive.conversion == u'd' || directive.conversion == u'i';
    const bool negative = isSigned && value < 0;
    const std::uint64_t magnitude = isSigned ? (negative ? 0 - static_cast<std::uint64_t>(value)
                                                         : static_cast<std::uint64_t>(value))
                                             : static_cast<std::uint32_t>(value);
    std::u16string digits = digitsOf(magnitude, directive.conversion);
    if (directive.hasPrecision && digits.size() < directive.precision) {
        digits.insert(0, directive.precision - digits.size(), u'0');
    }
    std::u16string prefix;
    if (negative) {
        prefix = u"-";
    } else if (isSigned && directive.plusSign) {
        prefix = u"+";
    } else if (isSigned && directive.spaceSign) {
        prefix = u" ";
    } else if (directive.alternate && magnitude != 0 && directive.conversion == u'x') {
        prefix = u"0x";
    } else if (directive.alternate && magnitude != 0 && directive.conversion == u'X') {
        prefix = u"0X";
    } else if (directive.alternate && directive.conversion == u'o' && digits.front() != u'0') {
        prefix = u"0";
    }
    return padded(directive, prefix, digits);
}

std::u16string formatText(const Directive& directive, std::u16string_view text) {
    if (directive.hasPrecision) {
        text = text.substr(0, directive.precision);
    }
    return padded(directive, std::u16string(), std::u16string(text));
}

// Copies format, replacing the first directive that `fits` by what `fill`
// makes of it.
std::u16string formatWithOne(std::u16string_view format, const std::function<bool(char16_t)>& fits,
                             const std::function<std::u16string(const Directive&)>& fill) {
    std::u16string text;
    bool argumentUsed = false;
    std::size_t position = 0;
    while (position < format.size()) {
        if (format[position] != u'%') {
            text.push_back(format[position++]);
            continue;
        }
        if (position + 1 < format.size() && format[position + 1] == u'%') {
            text.push_back(u'%');
            position += 2;
            continue;
        }
        const Directive directive = parseDirective(format, position);
        if (!argumentUsed && fits(directive.conversion)) {
            text += fill(directive);
            argumentUsed = true;
        } else {
            text += format.substr(position, directive.length);
        }
        position += directive.length;
    }
    return text;
}

} // namespace

std::u16string formatWithInteger(std::u16string_view format, std::int64_t value) {
    return formatWithOne(format, isIntegerConversion, [value](const Directive& directive) {
        return formatInteger(directive, value);
    });
}

std::u16string formatWithText(std::u16string_view format, std::u16string_view text) {
    return formatWithOne(format, isTextConversion, [text](const Directive& directive) {
        return formatText(directive, text);
    });
}

} // namespace tavrik::text
