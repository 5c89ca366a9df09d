#include "platform/IniDocument.h"

#include "platform/Unicode.h"

namespace tavrik::platform {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleBom = "\xFF\xFE";
constexpr std::string_view kUtf16BigBom = "\xFE\xFF";

bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\v' || c == u'\f';
}

bool isUtf16(IniEncoding encoding) {
    return encoding == IniEncoding::Utf16LittleEndian || encoding == IniEncoding::Utf16BigEndian;
}

bool holdsAny(std::u16string_view text, std::u16string_view characters) {
    return text.find_first_of(characters) != std::u16string_view::npos;
}

constexpr std::u16string_view kLineBreaksAndNul{u"\r\n\0", 3};

// The bytes between byte order mark and end of file, cut into lines after
// each line feed. In UTF-16 a line feed is a whole code unit, so an LF byte
// inside another character never ends a line.
struct RawLine {
    std::string_view content;
    std::string_view terminator;
};

std::vector<RawLine> splitLines(std::string_view body, bool utf16, bool bigEndian) {
    std::vector<RawLine> lines;
    const std::size_t unit = utf16 ? 2 : 1;
    const std::string_view lineFeed = !utf16      ? std::string_view("\n")
                                      : bigEndian ? std::string_view("\0\n", 2)
                                                  : std::string_view("\n\0", 2);
    const std::string_view carriageReturn = !utf16      ? std::string_view("\r")
                                            : bigEndian ? std::string_view("\0\r", 2)
                                                        : std::string_view("\r\0", 2);
    std::size_t start = 0;
    for (std::size_t at = 0; at + unit <= body.size(); at += unit) {
        if (body.substr(at, unit) != lineFeed) {
            continue;
        }
        std::size_t contentEnd = at;
        if (contentEnd - start >= unit && body.substr(contentEnd - unit, unit) == carriageReturn) {
            contentEnd -= unit;
        }
        lines.push_back({body.substr(start, contentEnd - start),
                         body.substr(contentEnd, at + unit - contentEnd)});
        start = at + unit;
    }
    if (start < body.size()) {
        lines.push_back({body.substr(start), {}});
    }
    return lines;
}

std::u16string decodeUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    // A lone byte at the end of a UTF-16 file is kept in the line's bytes but
    // is no character.
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        text.push_back(bigEndian ? static_cast<char16_t>((first << 8) | second)
                                 : static_cast<char16_t>((second << 8) | first));
    }
    return text;
}

std::u16string_view trimTrailingBlanks(std::u16string_view text) {
    std::size_t end = text.size();
    while (end > 0 && isBlank(text[end - 1])) {
        --end;
    }
    return text.substr(0, end);
}

} // namespace

std::u16string_view trimBlanks(std::u16string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool isValidSectionName(std::u16string_view section) {
    const std::u16string_view name = trimBlanks(section);
    return !name.empty() && !holdsAny(name, kLineBreaksAndNul) && !holdsAny(name, u"]");
}

bool isValidKeyName(std::u16string_view key) {
    const std::u16string_view name = trimBlanks(key);
    return !name.empty() && !holdsAny(name, kLineBreaksAndNul) && !holdsAny(name, u"=") &&
           name.front() != u'[' && name.front() != u';';
}

bool isValidValue(std::u16string_view value) {
    return !holdsAny(value, kLineBreaksAndNul);
}

IniDocument IniDocument::parse(std::string_view bytes) {
    IniDocument document;
    std::string_view body = bytes;
    if (bytes.starts_with(kUtf8Bom)) {
        document.encoding_ = IniEncoding::Utf8WithBom;
        body.remove_prefix(kUtf8Bom.size());
    } else if (bytes.starts_with(kUtf16LittleBom)) {
        document.encoding_ = IniEncoding::Utf16LittleEndian;
        body.remove_prefix(kUtf16LittleBom.size());
    } else if (bytes.starts_with(kUtf16BigBom)) {
        document.encoding_ = IniEncoding::Utf16BigEndian;
        body.remove_prefix(kUtf16BigBom.size());
    }
    const bool utf16 = isUtf16(document.encoding_);
    const bool bigEndian = document.encoding_ == IniEncoding::Utf16BigEndian;
    bool lineBreakSeen = false;
    for (const RawLine& raw : splitLines(body, utf16, bigEndian)) {
        Line line;
        line.content = std::string(raw.content);
        line.terminator = std::string(raw.terminator);
        line.text = utf16 ? decodeUtf16(raw.content, bigEndian) : toUtf16(raw.content);
        if (!lineBreakSeen && !raw.terminator.empty()) {
            // New lines follow the style of the file's first line break.
            document.crlf_ = raw.terminator.size() == 2 * (utf16 ? 2 : 1);
            lineBreakSeen = true;
        }
        document.lines_.push_back(std::move(line));
    }
    return document;
}

IniDocument::Parsed IniDocument::parseLine(std::u16string_view text) {
    Parsed parsed;
    std::size_t indent = 0;
    while (indent < text.size() && isBlank(text[indent])) {
        ++indent;
    }
    const std::u16string_view rest = text.substr(indent);
    if (trimBlanks(rest).empty()) {
        return parsed;
    }
    if (rest.front() == u';') {
        parsed.kind = Kind::Comment;
        return parsed;
    }
    if (rest.front() == u'[') {
        const std::size_t close = rest.find(u']');
        if (close != std::u16string_view::npos) {
            parsed.kind = Kind::Section;
            parsed.name = trimBlanks(rest.substr(1, close - 1));
            return parsed;
        }
        // Without its ']' the line is no section header; read it as a key.
    }
    parsed.kind = Kind::Key;
    const std::size_t equals = rest.find(u'=');
    if (equals == std::u16string_view::npos) {
        parsed.name = trimBlanks(rest);
        return parsed;
    }
    parsed.name = trimBlanks(rest.substr(0, equals));
    std::size_t valueStart = indent + equals + 1;
    while (valueStart < text.size() && isBlank(text[valueStart])) {
        ++valueStart;
    }
    parsed.valueStart = valueStart;
    parsed.value = trimBlanks(text.substr(valueStart));
    return parsed;
}

bool IniDocument::isSectionNamed(std::size_t index, std::u16string_view section) const {
    const Parsed parsed = parseLine(lines_[index].text);
    return parsed.kind == Kind::Section && equalsIgnoringCase(parsed.name, trimBlanks(section));
}

bool IniDocument::isKeyNamed(std::size_t index, std::u16string_view key) const {
    const Parsed parsed = parseLine(lines_[index].text);
    return parsed.kind == Kind::Key && equalsIgnoringCase(parsed.name, trimBlanks(key));
}

std::optional<std::size_t> IniDocument::findSection(std::u16string_view section,
                                                    std::size_t from) const {
    for (std::size_t i = from; i < lines_.size(); ++i) {
        if (isSectionNamed(i, section)) {
            return i;
        }
    }
    return std::nullopt;
}

std::size_t IniDocument::sectionEnd(std::size_t header) const {
    std::size_t end = header + 1;
    while (end < lines_.size() && parseLine(lines_[end].text).kind != Kind::Section) {
        ++end;
    }
    return end;
}

void IniDocument::forEachEntry(const std::function<void(const Entry&)>& visit) const {
    for (const Line& line : lines_) {
        const Parsed parsed = parseLine(line.text);
        if (parsed.kind == Kind::Section || parsed.kind == Kind::Key) {
            visit({parsed.kind == Kind::Section, parsed.name, parsed.value});
        }
    }
}

std::optional<std::u16string> IniDocument::find(std::u16string_view section,
                                                std::u16string_view key) const {
    const std::optional<std::size_t> header = findSection(section);
    if (!header) {
        return std::nullopt;
    }
    const std::size_t end = sectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (isKeyNamed(i, key)) {
            const Parsed parsed = parseLine(lines_[i].text);
            return parsed.value ? std::optional<std::u16string>(*parsed.value) : std::nullopt;
        }
    }
    return std::nullopt;
}

std::string IniDocument::encode(std::u16string_view text) const {
    if (!isUtf16(encoding_)) {
        return toUtf8(text);
    }
    const bool bigEndian = encoding_ == IniEncoding::Utf16BigEndian;
    std::string bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes.push_back(bigEndian ? high : low);
        bytes.push_back(bigEndian ? low : high);
    }
    return bytes;
}

std::string IniDocument::newline() const {
    return encode(crlf_ ? u"\r\n" : u"\n");
}

void IniDocument::ensureTerminated(std::size_t index) {
    Line& line = lines_[index];
    if (!line.terminator.empty()) {
        return;
    }
    // A lone byte that ends a UTF-16 file is no character; left before a line
    // break, it would shift every character after it by one byte.
    if (isUtf16(encoding_) && line.content.size() % 2 != 0) {
        line.content.pop_back();
    }
    line.terminator = newline();
}

void IniDocument::insertLine(std::size_t index, std::u16string text) {
    Line line;
    line.content = encode(text);
    line.terminator = newline();
    line.text = std::move(text);
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

bool IniDocument::setValue(std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) {
    const std::u16string keyName(trimBlanks(key));
    const std::optional<std::size_t> header = findSection(section);
    if (!header) {
        if (!lines_.empty()) {
            ensureTerminated(lines_.size() - 1);
        }
        insertLine(lines_.size(), u"[" + std::u16string(trimBlanks(section)) + u"]");
        insertLine(lines_.size(), keyName + u"=" + std::u16string(value));
        return true;
    }
    const std::size_t end = sectionEnd(*header);
    std::size_t lastEntry = *header;
    for (std::size_t i = *header + 1; i < end; ++i) {
        const Parsed parsed = parseLine(lines_[i].text);
        if (parsed.kind == Kind::Key) {
            lastEntry = i;
        }
        if (!isKeyNamed(i, key)) {
            continue;
        }
        // The line keeps its own spelling of the key and its spacing.
        const std::u16string& old = lines_[i].text;
        std::u16string text = parsed.value ? old.substr(0, parsed.valueStart)
                                           : std::u16string(trimTrailingBlanks(old)) + u"=";
        text += value;
        if (text == old) {
            return false;
        }
        lines_[i].content = encode(text);
        lines_[i].text = std::move(text);
        return true;
    }
    ensureTerminated(lastEntry);
    insertLine(lastEntry + 1, keyName + u"=" + std::u16string(value));
    return true;
}

bool IniDocument::removeKey(std::u16string_view section, std::u16string_view key) {
    bool changed = false;
    bool inSection = false;
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (parseLine(lines_[i].text).kind == Kind::Section) {
            inSection = isSectionNamed(i, section);
        } else if (inSection && isKeyNamed(i, key)) {
            changed = true;
            continue;
        }
        kept.push_back(std::move(lines_[i]));
    }
    lines_ = std::move(kept);
    return changed;
}

bool IniDocument::removeSection(std::u16string_view section) {
    bool changed = false;
    bool inSection = false;
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (parseLine(lines_[i].text).kind == Kind::Section) {
            inSection = isSectionNamed(i, section);
        }
        if (inSection) {
            changed = true;
            continue;
        }
        kept.push_back(std::move(lines_[i]));
    }
    lines_ = std::move(kept);
    return changed;
}

std::string IniDocument::bytes() const {
    std::string out;
    switch (encoding_) {
    case IniEncoding::Utf8:
        break;
    case IniEncoding::Utf8WithBom:
        out = kUtf8Bom;
        break;
    case IniEncoding::Utf16LittleEndian:
        out = kUtf16LittleBom;
        break;
    case IniEncoding::Utf16BigEndian:
        out = kUtf16BigBom;
        break;
    }
    for (const Line& line : lines_) {
        out += line.content;
        out += line.terminator;
    }
    return out;
}

} // namespace tavrik::platform
