#include "platform/Unicode.h"

#include <cstdint>

namespace tavrik::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}
bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Decodes one UTF-8 sequence at `at`. Returns its length in bytes, or 0 when
// the bytes there are not a valid, shortest-form sequence.
std::size_t decodeSequence(std::string_view text, std::size_t at, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - at < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (!isContinuation(byte)) {
            return 0;
        }
        code = (code << 6) | (byte & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (code < minimum || code > 0x10FFFF || surrogate) {
        return 0;
    }
    return length;
}

void appendUtf16(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

void appendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

// Latin Extended-A pairs an upper-case letter with the lower-case one after
// it; the pairs start on even code points except in two runs.
bool isUpperInLatinExtendedA(char16_t c) {
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
        return c % 2 == 1;
    }
    if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
        return c % 2 == 0;
    }
    return false;
}

} // namespace

std::u16string toUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        char32_t code = 0;
        const std::size_t length = decodeSequence(text, at, code);
        if (length == 0) {
            out.push_back(static_cast<char16_t>(static_cast<unsigned char>(text[at])));
            ++at;
            continue;
        }
        appendUtf16(out, code);
        at += length;
    }
    return out;
}

std::string toUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (isHighSurrogate(unit) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            const char32_t code = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                                  (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            appendUtf8(out, code);
            ++i;
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            appendUtf8(out, kReplacement);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

char16_t foldCase(char16_t c) {
    const bool shiftedBy32 = (c >= u'A' && c <= u'Z') ||
                             (c >= 0xC0 && c <= 0xDE && c != 0xD7) ||    // Latin-1
                             (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || // Greek
                             (c >= 0x410 && c <= 0x42F);                 // Cyrillic
    if (shiftedBy32) {
        return static_cast<char16_t>(c + 32);
    }
    if (c >= 0x400 && c <= 0x40F) {
        return static_cast<char16_t>(c + 80);
    }
    if (c == 0x178) {
        return 0xFF;
    }
    if (isUpperInLatinExtendedA(c)) {
        return static_cast<char16_t>(c + 1);
    }
    return c;
}

bool equalsIgnoringCase(std::u16string_view left, std::u16string_view right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (foldCase(left[i]) != foldCase(right[i])) {
            return false;
        }
    }
    return true;
}

bool equalsIgnoringCase(std::string_view left, std::string_view right) {
    return equalsIgnoringCase(std::u16string_view(toUtf16(left)),
                              std::u16string_view(toUtf16(right)));
}

std::u16string_view cutUtf16(std::u16string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return text;
    }
    std::size_t length = limit;
    if (length > 0 && isHighSurrogate(text[length - 1]) && isLowSurrogate(text[length])) {
        --length;
    }
    return text.substr(0, length);
}

} // namespace tavrik::platform
