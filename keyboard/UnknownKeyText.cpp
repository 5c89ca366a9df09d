#include "keyboard/UnknownKeyText.h"

#include "text/TextFormat.h"

namespace tavrik::keyboard {

std::u16string unknownKeyText(std::u16string_view format, KeyCode code) {
    return text::formatWithInteger(format, code);
}

} // namespace tavrik::keyboard
