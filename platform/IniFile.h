#pragma once
// INI files read and written with the rules of the desktop's private-profile
// functions: section and key names compared without regard to case, the
// caller's default for a missing file, section or key, values read into a
// 260-character buffer, files, sections and keys created on write. Files of
// the program's own folder may be overlaid per user (see IniOverlay.h).

#include "platform/IniDocument.h"
#include "platform/IniLookup.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace tavrik::platform {

// The read buffer of the private-profile functions holds 260 characters
// including the terminator, so a read returns at most 259.
inline constexpr std::size_t kIniValueBufferSize = 260;
inline constexpr std::size_t kIniValueMaxLength = kIniValueBufferSize - 1;

// The file's text as read at one moment, for readers of many keys.
class IniSnapshot {
public:
    explicit IniSnapshot(std::shared_ptr<const IniLookup> values) : values_(std::move(values)) {}

    // The value of `key` in `section`: blanks around it removed, a pair of
    // double quotes around it dropped, cut to 259 characters. A missing
    // section or key, or a key line without '=', gives `defaultValue` with
    // its trailing blanks removed (a default of blanks only keeps its first),
    // also cut to 259 characters.
    std::u16string readString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const;

private:
    std::shared_ptr<const IniLookup> values_;
};

class IniFile {
public:
    explicit IniFile(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // Each read sees the file as it is now (IniDocumentCache.h); a file
    // that cannot be read counts as missing.
    std::u16string readString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const;
    IniSnapshot snapshot() const;

    // Sets a value, creating the file, the section and the key as needed;
    // every other line keeps its bytes and the file keeps its encoding. A new
    // file is UTF-8 without byte order mark. The value is written as given;
    // blanks around it are lost on the next read, as the format has it.
    // Returns false, with the file untouched, when a name or the value is not
    // valid (IniDocument.h), the file exists but cannot be read, or the save
    // fails.
    bool writeString(std::u16string_view section, std::u16string_view key,
                     std::u16string_view value);

    // Removes a key (a write of no value), or a section with all its keys (a
    // write of no key). Nothing to remove is success and leaves the file as it
    // was.
    bool removeKey(std::u16string_view section, std::u16string_view key);
    bool removeSection(std::u16string_view section);

private:
    template <typename Change> bool change(Change&& apply);

    std::string path_;
};

} // namespace tavrik::platform
