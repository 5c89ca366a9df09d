#pragma once
// The values of an INI document, indexed for reading: what find() of the
// document gives, without walking its lines for every value. Read-only.

#include "platform/IniDocument.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tavrik::platform {

class IniLookup {
public:
    IniLookup() = default;
    explicit IniLookup(const IniDocument& document);

    // As IniDocument::find: the value of the first line naming `key` in the
    // first section named `section`, names compared without regard to case
    // and blanks around them ignored.
    std::optional<std::u16string> find(std::u16string_view section, std::u16string_view key) const;

private:
    // Folded key name to the value of its first line (none without '=').
    using Keys = std::unordered_map<std::u16string, std::optional<std::u16string>>;
    // Folded section name to the keys of its first section.
    std::unordered_map<std::u16string, Keys> sections_;
};

} // namespace tavrik::platform
