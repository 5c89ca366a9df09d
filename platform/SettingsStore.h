#pragma once
// The application's per-user settings store: texts under a section and a key,
// kept with QSettings under the organisation and application names that the
// start routine sets (on Linux a file in the user's configuration folder).

#include <string>
#include <string_view>

namespace tavrik::platform {

// The stored text, or `defaultValue` when the section has no such key.
std::u16string readSetting(std::u16string_view section, std::u16string_view key,
                           std::u16string_view defaultValue);

// Stores the text and writes the store out at once; false when it could not
// be written.
bool writeSetting(std::u16string_view section, std::u16string_view key, std::u16string_view value);

} // namespace tavrik::platform
