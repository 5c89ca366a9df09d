#pragma once
// The text shown for a code without a name: the language text "UNKNOWN_KEY"
// ("Unknown Key: %03x") with the code put in.

#include "keyboard/KeyTable.h"

#include <string>
#include <string_view>

namespace tavrik::keyboard {

// Puts code into the first integer directive of format (%d, %i, %u, %o, %x or
// %X with the usual flags, width and precision); "%%" gives "%". The format
// comes from the language file, so any other directive, and every directive
// after the first, is kept as it stands instead of reading an argument that
// is not there, and widths are capped.
std::u16string unknownKeyText(std::u16string_view format, KeyCode code);

} // namespace tavrik::keyboard
