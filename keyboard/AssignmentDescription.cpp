#include "keyboard/AssignmentDescription.h"

#include "keyboard/Catalogues.h"
#include "text/LanguageTexts.h"

#include <array>

namespace tavrik::keyboard {
namespace {

std::u16string enclosed(std::string_view promptKey, std::u16string_view target) {
    return text::languageText(promptKey) + std::u16string(target) + u")";
}

} // namespace

std::u16string keyHeading(KeyCode code) {
    std::array<char16_t, kKeyNameCapacity> name{};
    const std::size_t length = keyName(code, name.data(), name.size());
    return std::u16string(name.data(), length);
}

std::u16string gKeyHeading(int index) {
    return u"G" + std::u16string(1, static_cast<char16_t>(u'1' + index));
}

std::u16string describeAssignment(std::u16string_view heading, const KeyAssignment& assignment,
                                  std::u16string_view macroName) {
    std::u16string description(heading);
    if (!isAssigned(assignment)) {
        return description;
    }
    description += text::languageText("KEY_PROMPT_SET");
    switch (assignment.type) {
    case AssignmentType::SingleKey:
        description +=
            enclosed("KEY_PROMPT_SINGLE", keyName(static_cast<KeyCode>(assignment.value & 0xFFFF)));
        break;
    case AssignmentType::PlayMacro:
        description += enclosed("KEY_PROMPT_MACRO", macroName);
        break;
    case AssignmentType::Media:
        description += enclosed("KEY_PROMPT_MEDIA", keyName(mediaKeyCode(assignment.value)));
        break;
    case AssignmentType::Function:
        description += enclosed("KEY_PROMPT_FUNCTION", functionText(assignment.value));
        break;
    default:
        break;
    }
    return description;
}

} // namespace tavrik::keyboard
