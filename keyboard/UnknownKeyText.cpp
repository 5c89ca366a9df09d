#include "keyboard/UnknownKeyText.h"

#include "ui/TextFormat.h"

namespace tavrik::keyboard {

std::u16string unknownKeyText(std::u16string_view format, KeyCode code) {
    return ui::formatWithInteger(format, code);
}

} // namespace tavrik::keyboard
