#pragma once
// Conversions between the UTF-8 of paths and the UTF-16 of the file formats,
// and the letter case folding used where names are compared without regard
// to case.

#include <string>
#include <string_view>

namespace tavrik::platform {

// UTF-8 to UTF-16. A byte that does not start a valid sequence stands for
// itself as a Latin-1 character, so text in a legacy 8-bit encoding stays
// readable instead of turning into replacement characters.
std::u16string toUtf16(std::string_view text);

// UTF-16 to UTF-8. An unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::u16string_view text);

// The lower-case form of a letter of Basic Latin, Latin-1, Latin Extended-A,
// Greek or Cyrillic; every other character is returned unchanged.
char16_t foldCase(char16_t character);

// Whether two texts are equal without regard to letter case (see foldCase).
bool equalsIgnoringCase(std::u16string_view left, std::u16string_view right);
// The same for UTF-8 texts (command-line switches, executable names).
bool equalsIgnoringCase(std::string_view left, std::string_view right);

// The longest prefix of at most `limit` UTF-16 units that does not end
// between the two halves of a surrogate pair.
std::u16string_view cutUtf16(std::u16string_view text, std::size_t limit);

} // namespace tavrik::platform
