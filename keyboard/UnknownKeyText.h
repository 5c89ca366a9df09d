#pragma once
// The text shown for a code without a name: the language text "UNKNOWN_KEY"
// ("Unknown Key: %03x") with the code put in.

#include "keyboard/KeyTable.h"

#include <string>
#include <string_view>

namespace tavrik::keyboard {

// Puts code into the first integer directive of format, with the safe
// formatting of text/TextFormat.h: the format comes from the language file, so
// no other directive ever reads an argument.
std::u16string unknownKeyText(std::u16string_view format, KeyCode code);

} // namespace tavrik::keyboard
