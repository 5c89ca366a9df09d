#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/IniDocumentCache.h"
#include "platform/IniOverlay.h"
#include "platform/Unicode.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <span>

namespace tavrik::platform {
namespace {

// Writes are read-change-save; one at a time keeps two changes to the same
// file from losing one another.
std::mutex& writeMutex() {
    static std::mutex mutex;
    return mutex;
}

std::u16string_view withoutQuotes(std::u16string_view value) {
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"') {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::u16string_view withoutTrailingBlanksKeepingFirst(std::u16string_view text) {
    std::size_t end = text.size();
    while (end > 1 && text[end - 1] == u' ') {
        --end;
    }
    return text.substr(0, end);
}

enum class ReadResult { Read, Missing, Unreadable };

ReadResult readDocument(const std::string& path, IniDocument& document) {
    std::string bytes;
    if (readWholeFile(path, bytes)) {
        document = IniDocument::parse(bytes);
        return ReadResult::Read;
    }
    std::error_code error;
    return std::filesystem::exists(path, error) ? ReadResult::Unreadable : ReadResult::Missing;
}

} // namespace

std::u16string IniSnapshot::readString(std::u16string_view section, std::u16string_view key,
                                       std::u16string_view defaultValue) const {
    const std::optional<std::u16string> value = values_->find(section, key);
    const std::u16string_view text =
        value ? withoutQuotes(*value) : withoutTrailingBlanksKeepingFirst(defaultValue);
    return std::u16string(cutUtf16(text, kIniValueMaxLength));
}

IniSnapshot IniFile::snapshot() const {
    return IniSnapshot(readIniLookup(iniReadPath(path_)));
}

std::u16string IniFile::readString(std::u16string_view section, std::u16string_view key,
                                   std::u16string_view defaultValue) const {
    return snapshot().readString(section, key, defaultValue);
}

template <typename Change> bool IniFile::change(Change&& apply) {
    std::lock_guard lock(writeMutex());
    const IniWriteTarget target = iniWriteTarget(path_);
    IniDocument document;
    if (readDocument(target.source, document) == ReadResult::Unreadable) {
        return false; // saving now would throw away what could not be read
    }
    if (!apply(document)) {
        return true;
    }
    if (target.inOverlay) {
        std::error_code ignored; // a failure shows in the save below
        std::filesystem::create_directories(std::filesystem::path(target.destination).parent_path(),
                                            ignored);
    }
    const std::string bytes = document.bytes();
    const std::span<const std::uint8_t> content(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                                bytes.size());
    const bool saved = writeFileAtomically(target.destination, {content});
    forgetIniFile(target.destination);
    return saved;
}

bool IniFile::writeString(std::u16string_view section, std::u16string_view key,
                          std::u16string_view value) {
    if (!isValidSectionName(section) || !isValidKeyName(key) || !isValidValue(value)) {
        return false;
    }
    return change([&](IniDocument& document) { return document.setValue(section, key, value); });
}

bool IniFile::removeKey(std::u16string_view section, std::u16string_view key) {
    return change([&](IniDocument& document) { return document.removeKey(section, key); });
}

bool IniFile::removeSection(std::u16string_view section) {
    return change([&](IniDocument& document) { return document.removeSection(section); });
}

} // namespace tavrik::platform
