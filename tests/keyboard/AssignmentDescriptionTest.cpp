// The tooltip texts of the on-screen keys, from the built-in language texts.

#include "keyboard/AssignmentDescription.h"

#include "keyboard/KeyTable.h"
#include "text/LanguageTexts.h"

#include <gtest/gtest.h>

namespace tavrik::keyboard {
namespace {

KeyAssignment record(AssignmentType type, std::uint32_t value = 0) {
    KeyAssignment assignment;
    assignment.type = type;
    assignment.value = value;
    return assignment;
}

TEST(AssignmentDescription, EachTypeNamesItsTargetAfterTheHeading) {
    text::resetLanguageTexts();
    text::setLanguageText("MEDIA_V_ADD_7", u"Volume up");
    const struct {
        KeyAssignment assignment;
        std::u16string macroName;
        std::u16string text;
        bool assigned;
    } cases[] = {
        {record(AssignmentType::Default, 0x30), u"", u"A", false},
        {record(AssignmentType::SingleKey, 0x30), u"", u"AKeys, Set: Key(B)", true},
        {record(AssignmentType::PlayMacro, 7), u"Combo", u"AKeys, Set: Macro(Combo)", true},
        // The macro was deleted: nothing between the brackets.
        {record(AssignmentType::PlayMacro, 9), u"", u"AKeys, Set: Macro()", true},
        {record(AssignmentType::Media, 6), u"", u"AKeys, Set: Media(Volume up)", true},
        {record(AssignmentType::Function, 4), u"", u"AKeys, Set: Function(Copy)", true},
        {record(AssignmentType::Disabled), u"", u"AKeys, Set: ", true},
        {record(AssignmentType::LaunchProgram, 12), u"", u"AKeys, Set: ", true},
        {record(AssignmentType::StopMacro), u"", u"AKeys, Set: ", true},
        {record(AssignmentType::TextBlock, 40), u"", u"AKeys, Set: ", true},
        // A type no file should hold, and catalogue indexes beyond the lists.
        {record(static_cast<AssignmentType>(23)), u"", u"AKeys, Set: ", true},
        {record(AssignmentType::Function, 99), u"", u"AKeys, Set: Function()", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(describeAssignment(keyHeading(0x01E), c.assignment, c.macroName), c.text)
            << static_cast<int>(c.assignment.type);
        EXPECT_EQ(isAssigned(c.assignment), c.assigned);
    }
    text::resetLanguageTexts();
}

TEST(AssignmentDescription, HeadingsNameKeysAndGButtonsAndFollowTheLanguage) {
    text::resetLanguageTexts();
    EXPECT_EQ(keyHeading(0x11D), u"Right Ctrl");
    EXPECT_EQ(gKeyHeading(0), u"G1");
    EXPECT_EQ(gKeyHeading(8), u"G9");
    EXPECT_EQ(describeAssignment(gKeyHeading(2), record(AssignmentType::PlayMacro, 0x10003), u"M"),
              u"G3Keys, Set: Macro(M)");
    text::setLanguageText("KEY_PROMPT_SET", u", set to ");
    text::setLanguageText("KEY_PROMPT_SINGLE", u"key ");
    EXPECT_EQ(describeAssignment(u"A", record(AssignmentType::SingleKey, 0x030), u""),
              u"A, set to key B)");
    text::resetLanguageTexts();
}

} // namespace
} // namespace tavrik::keyboard
