#pragma once
// Filling a language text that carries one printf directive ("%d", "%s",
// "%03x"). The texts come from a file the user can edit, so nothing here ever
// reads an argument that is not there: only the first directive that fits the
// one argument is filled, every other directive is kept as it stands, "%%"
// gives "%", and widths and precisions are capped.

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrik::text {

// A width or precision beyond this comes only from a broken language file.
inline constexpr std::size_t kLargestFormatWidth = 64;

// Puts value into the first integer directive (%d, %i, %u, %o, %x or %X with
// the usual flags, width, precision and h/l length letters). The unsigned
// conversions show the value's low 32 bits, as printf shows an int.
std::u16string formatWithInteger(std::u16string_view format, std::int64_t value);

// Puts text into the first string directive (%s or %S, with the '-' flag,
// width, precision and length letters). A precision cuts the text to that many
// characters; the text itself is never capped.
std::u16string formatWithText(std::u16string_view format, std::u16string_view text);

} // namespace tavrik::text
