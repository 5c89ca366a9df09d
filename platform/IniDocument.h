#pragma once
// The text of an INI file as a list of lines, in the encoding the file came
// in. Lines that a change does not touch keep their bytes exactly, so
// comments, blank lines, line endings and odd bytes survive every write.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::platform {

enum class IniEncoding {
    Utf8, // also what a file without a byte order mark is read as
    Utf8WithBom,
    Utf16LittleEndian, // with byte order mark
    Utf16BigEndian,    // with byte order mark
};

class IniDocument {
public:
    // An empty document; written out, it becomes a UTF-8 file without BOM.
    IniDocument() = default;

    // Any bytes are accepted; the encoding is taken from the byte order mark.
    static IniDocument parse(std::string_view bytes);

    IniEncoding encoding() const { return encoding_; }

    // The value of the first line naming `key` in the first section named
    // `section` (both compared without regard to case, blanks around them
    // ignored), with the blanks around it removed. Nothing when the section or
    // the key is missing or the key's line has no '='.
    std::optional<std::u16string> find(std::u16string_view section, std::u16string_view key) const;

    // The changes return whether the document changed. setValue needs valid
    // names and value (see isValidSectionName and friends), which the caller
    // checks; a name no line can hold simply matches nothing on removal.

    // Replaces the value of the key's first line in the first section of that
    // name, or adds the key after the section's last key (comments and blank
    // lines that lead into the next section stay with it), or adds the
    // section at the end of the document.
    bool setValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    // Removes every line of the key from every section of that name.
    bool removeKey(std::u16string_view section, std::u16string_view key);
    // Removes every section of that name with all its lines.
    bool removeSection(std::u16string_view section);

    // The file's bytes, byte order mark included.
    std::string bytes() const;

    // A section header or key line, its name and value with the blanks
    // around them removed; a key line without '=' has no value.
    struct Entry {
        bool isSection = false;
        std::u16string_view name;
        std::optional<std::u16string_view> value;
    };
    // Every section header and key line, in order.
    void forEachEntry(const std::function<void(const Entry&)>& visit) const;

private:
    struct Line {
        std::string content;    // the bytes as stored, without the line break
        std::string terminator; // the line break as stored; empty on a last line without one
        std::u16string text;    // the content decoded
    };
    enum class Kind { Blank, Comment, Section, Key };
    struct Parsed {
        Kind kind = Kind::Blank;
        std::u16string_view name;                 // section or key name, trimmed
        std::optional<std::u16string_view> value; // key lines with '='
        std::size_t valueStart = 0;               // where the value begins in the line text
    };

    static Parsed parseLine(std::u16string_view text);
    bool isSectionNamed(std::size_t index, std::u16string_view section) const;
    bool isKeyNamed(std::size_t index, std::u16string_view key) const;
    std::optional<std::size_t> findSection(std::u16string_view section, std::size_t from = 0) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::string encode(std::u16string_view text) const;
    std::string newline() const;
    void ensureTerminated(std::size_t index);
    void insertLine(std::size_t index, std::u16string text);

    IniEncoding encoding_ = IniEncoding::Utf8;
    bool crlf_ = false;
    std::vector<Line> lines_;
};

// What may be written. Names are taken with the blanks around them removed and
// must not be empty; no name or value may hold a line break or a NUL, a
// section name no ']', a key name no '=' and no leading '[' or ';'. These
// would otherwise change the structure of the file.
bool isValidSectionName(std::u16string_view section);
bool isValidKeyName(std::u16string_view key);
bool isValidValue(std::u16string_view value);

// The blanks that surround names and values in a file.
std::u16string_view trimBlanks(std::u16string_view text);

} // namespace tavrik::platform
