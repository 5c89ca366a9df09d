#include "platform/IniLookup.h"

#include "platform/Unicode.h"

namespace tavrik::platform {
namespace {

std::u16string folded(std::u16string_view name) {
    std::u16string result(trimBlanks(name));
    for (char16_t& c : result) {
        c = foldCase(c);
    }
    return result;
}

} // namespace

IniLookup::IniLookup(const IniDocument& document) {
    // Keys before the first section, and those of a section whose name came
    // before, belong to no section that find() looks in.
    Keys* current = nullptr;
    document.forEachEntry([&](const IniDocument::Entry& entry) {
        if (entry.isSection) {
            const auto [section, first] = sections_.try_emplace(folded(entry.name));
            current = first ? &section->second : nullptr;
            return;
        }
        if (current != nullptr) {
            current->try_emplace(folded(entry.name), entry.value ? std::optional<std::u16string>(
                                                                       std::u16string(*entry.value))
                                                                 : std::nullopt);
        }
    });
}

std::optional<std::u16string> IniLookup::find(std::u16string_view section,
                                              std::u16string_view key) const {
    const auto keys = sections_.find(folded(section));
    if (keys == sections_.end()) {
        return std::nullopt;
    }
    const auto value = keys->second.find(folded(key));
    return value != keys->second.end() ? value->second : std::nullopt;
}

} // namespace tavrik::platform
