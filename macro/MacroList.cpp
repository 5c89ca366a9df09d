#include "macro/MacroList.h"

#include "platform/Unicode.h"
#include "text/LanguageTexts.h"

#include <array>
#include <string>

namespace tavrik::macro {

std::uint16_t macroIndexOfId(std::span<const MacroRecord> records, std::uint16_t id) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].id() == id) {
            return static_cast<std::uint16_t>(i);
        }
    }
    return 0;
}

std::u16string macroNameOfId(std::span<const MacroRecord> records, std::uint16_t id) {
    for (const MacroRecord& record : records) {
        if (record.id() == id) {
            return record.name();
        }
    }
    return {};
}

std::uint16_t macroIdAtIndex(std::span<const MacroRecord> records, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= records.size()) {
        return 0;
    }
    return records[static_cast<std::size_t>(index)].id();
}

void releaseMacroList(MacroList& list) {
    MacroList empty;
    list.swap(empty);
}

std::uint16_t allocateMacroId(std::span<const MacroRecord> records) {
    std::array<bool, kMaxMacros + 1> used{};
    for (const MacroRecord& record : records) {
        if (record.id() >= 1 && record.id() <= kMaxMacros) {
            used[record.id()] = true;
        }
    }
    for (std::uint16_t id = 1; id <= kMaxMacros; ++id) {
        if (!used[id]) {
            return id;
        }
    }
    return 0;
}

std::optional<MacroRecord> createMacroRecord(std::u16string_view name,
                                             std::span<const MacroRecord> records) {
    const std::uint16_t id = allocateMacroId(records);
    if (id == 0) {
        return std::nullopt;
    }
    MacroRecord record;
    record.setName(name);
    record.setCycles(1);
    record.setNewFlag(1);
    record.setId(id);
    return record;
}

namespace {

bool beginsWithIgnoringCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           platform::equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool anyNameBeginsWith(std::span<const MacroRecord> records, std::u16string_view candidate) {
    for (const MacroRecord& record : records) {
        if (beginsWithIgnoringCase(record.name(), candidate)) {
            return true;
        }
    }
    return false;
}

std::u16string numbered(std::u16string_view prefix, int number) {
    const std::string digits = std::to_string(number);
    std::u16string name(prefix);
    name.append(digits.begin(), digits.end());
    return name;
}

} // namespace

// The names are compared with a list that does not change while we search, so
// each candidate is tried at once; waiting between tries would change nothing.
// The search ends: every name blocks at most as many numbers as it has digits
// behind the prefix.
std::u16string MacroNameCounter::nextName(std::span<const MacroRecord> records) {
    if (records.empty()) {
        value_ = 0;
    }
    const std::u16string prefix = text::languageText("MACRO_NEW_PREFIX");
    for (;;) {
        ++value_;
        std::u16string candidate = numbered(prefix, value_);
        if (!anyNameBeginsWith(records, candidate)) {
            return candidate;
        }
    }
}

} // namespace tavrik::macro
