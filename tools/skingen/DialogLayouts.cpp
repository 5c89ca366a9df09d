#include "tools/skingen/DialogLayouts.h"

#include <algorithm>
#include <array>

// Composite editor, 460 x 398 pixels: a title row (title badge, title
// label, on-screen-keyboard and default buttons), the four section buttons,
// the section area (CONTROL_MASK, 436 x 256) and OK and Cancel. The single
// key, media and function sections put a label and one field at the top of
// the section area; the macro section fills it: the macro selector with its
// add and delete buttons and the cycles field in one row, the action list
// (three columns of 70, 60 and 70 pixels) at the left and the action buttons
// in two columns at the right, the record-pauses check box beneath them, and
// the macro's timeline across the bottom (FUNC_MACRO_TIMELINE, a key of this
// program's own: a skin without it shows no timeline).
//
// Profile manager, 560 x 318 pixels: the word mark, the list (columns of 60,
// 120 and 230 pixels) and a row of buttons: Add, Load, Delete at the left,
// OK, Cancel, Apply at the right. These buttons have no texts in the
// language file, so their words are part of the pictures.
//
// Application profiles, 560 x 376 pixels: the word mark and the title, the
// rule list (APP_LIST), Remove under it; the row that adds a rule (id field,
// profile, Add), the pick button with the pick's state beside it, and the
// default with its in-force mark and Close at the bottom. Its buttons are
// captioned from the language file, and every width leaves room for the
// Chinese and the English captions.

namespace tavrik::skingen {
namespace {

struct PageMember {
    const char* key;
    CompositePage page;
};

constexpr std::array kPageMembers = {
    PageMember{"TISHI_SINGLE_STATIC", CompositePage::Key},
    PageMember{"FUNC_KEY_INPUT", CompositePage::Key},
    PageMember{"MEDIA_SETTING_TISHI", CompositePage::Media},
    PageMember{"FUNC_MEDIA_SELECT", CompositePage::Media},
    PageMember{"FUNCTION_KEY_SETTING_TISHI", CompositePage::Function},
    PageMember{"FUNC_FUNCTION_SELECT", CompositePage::Function},
    PageMember{"MARCO_NAME_SETTING", CompositePage::Macro},
    PageMember{"FUNC_MACRO_LIST", CompositePage::Macro},
    PageMember{"FUNC_MACRO_ADD", CompositePage::Macro},
    PageMember{"FUNC_MACRO_DELETE", CompositePage::Macro},
    PageMember{"FUNC_MACRO_CYCLES_PROMPT", CompositePage::Macro},
    PageMember{"FUNC_MACRO_CYCLES", CompositePage::Macro},
    PageMember{"FUNC_MACRO_LIST2", CompositePage::Macro},
    PageMember{"FUNC_MACRO_TIMELINE", CompositePage::Macro},
    PageMember{"FUNC_MACRO_RECORD", CompositePage::Macro},
    PageMember{"FUNC_MACRO_DELETE2", CompositePage::Macro},
    PageMember{"FUNC_MACRO_CLEAR", CompositePage::Macro},
    PageMember{"FUNC_MACRO_UP_TOP", CompositePage::Macro},
    PageMember{"FUNC_MACRO_UP", CompositePage::Macro},
    PageMember{"FUNC_MACRO_DOWN", CompositePage::Macro},
    PageMember{"FUNC_MACRO_DOWN_BOTTOM", CompositePage::Macro},
    PageMember{"FUNC_MACRO_RECORD_DELAY", CompositePage::Macro},
    PageMember{"FUNC_MACRO_RECORD_DELAY2", CompositePage::Macro},
};

} // namespace

QSize compositeWindowSize() {
    return {460, 398};
}

ControlList compositeControls() {
    return {
        {"CONTROL_TITLE", {12, 10, 34, 32}, Kind::GlyphButton, "key"},
        {"KEY_SETTING", {54, 17, 300, 18}, Kind::Plain, {}},
        {"CONTROL_OSK", {374, 10, 34, 32}, Kind::GlyphButton, "keyboard"},
        {"CONTROL_CLEAR", {414, 10, 34, 32}, Kind::GlyphButton, "restore"},
        {"CONTROL_KEY", {12, 52, 103, 30}, Kind::TextButton, {}},
        {"CONTROL_MACRO", {123, 52, 103, 30}, Kind::TextButton, {}},
        {"CONTROL_MEDIA", {234, 52, 103, 30}, Kind::TextButton, {}},
        {"CONTROL_FUNCTION", {345, 52, 103, 30}, Kind::TextButton, {}},
        {"CONTROL_MASK", {12, 90, 436, 256}, Kind::Plain, {}},
        {"TISHI_SINGLE_STATIC", {28, 116, 404, 18}, Kind::Plain, {}},
        {"FUNC_KEY_INPUT", {28, 142, 260, 26}, Kind::Plain, {}},
        {"MEDIA_SETTING_TISHI", {28, 116, 404, 18}, Kind::Plain, {}},
        {"FUNC_MEDIA_SELECT", {28, 142, 260, 26}, Kind::Plain, {}},
        {"FUNCTION_KEY_SETTING_TISHI", {28, 116, 404, 18}, Kind::Plain, {}},
        {"FUNC_FUNCTION_SELECT", {28, 142, 260, 26}, Kind::Plain, {}},
        {"MARCO_NAME_SETTING", {22, 103, 64, 18}, Kind::Plain, {}},
        {"FUNC_MACRO_LIST", {88, 100, 150, 24}, Kind::Plain, {}},
        {"FUNC_MACRO_ADD", {242, 100, 26, 24}, Kind::GlyphButton, "plus"},
        {"FUNC_MACRO_DELETE", {272, 100, 26, 24}, Kind::GlyphButton, "minus"},
        {"FUNC_MACRO_CYCLES_PROMPT", {306, 103, 64, 18}, Kind::Plain, {}},
        {"FUNC_MACRO_CYCLES", {372, 100, 66, 24}, Kind::Plain, {}},
        {"FUNC_MACRO_LIST2", {22, 132, 224, 154}, Kind::Plain, {}},
        {"FUNC_MACRO_TIMELINE", {22, 294, 416, 44}, Kind::Plain, {}},
        {"FUNC_MACRO_RECORD", {254, 132, 88, 26}, Kind::TextButton, {}},
        {"FUNC_MACRO_DELETE2", {254, 164, 88, 26}, Kind::TextButton, {}},
        {"FUNC_MACRO_CLEAR", {254, 196, 88, 26}, Kind::TextButton, {}},
        {"FUNC_MACRO_UP_TOP", {350, 132, 88, 26}, Kind::TextButton, {}},
        {"FUNC_MACRO_UP", {350, 164, 88, 26}, Kind::TextButton, {}},
        {"FUNC_MACRO_DOWN", {350, 196, 88, 26}, Kind::TextButton, {}},
        {"FUNC_MACRO_DOWN_BOTTOM", {350, 228, 88, 26}, Kind::TextButton, {}},
        {"FUNC_MACRO_RECORD_DELAY", {254, 270, 18, 18}, Kind::Plain, {}},
        {"FUNC_MACRO_RECORD_DELAY2", {276, 270, 162, 18}, Kind::Plain, {}},
        {"CONTROL_OK", {258, 356, 92, 30}, Kind::TextButton, {}},
        {"CONTROL_CANCEL", {356, 356, 92, 30}, Kind::TextButton, {}},
    };
}

bool belongsToPage(const QString& key, CompositePage page) {
    return std::any_of(kPageMembers.begin(), kPageMembers.end(), [&](const PageMember& member) {
        return member.page == page && key == QLatin1String(member.key);
    });
}

bool belongsToAnyPage(const QString& key) {
    return std::any_of(kPageMembers.begin(), kPageMembers.end(),
                       [&](const PageMember& member) { return key == QLatin1String(member.key); });
}

QSize profileWindowSize() {
    return {560, 318};
}

ControlList profileControls() {
    return {
        {"PROGRAM_LIST", {16, 58, 528, 202}, Kind::Plain, {}},
        {"FUNC_ADD", {16, 274, 84, 30}, Kind::GlyphButton, "plus|Add"},
        {"FUNC_LOAD", {106, 274, 84, 30}, Kind::GlyphButton, "folder|Load"},
        {"FUNC_DELETE", {196, 274, 90, 30}, Kind::GlyphButton, "trash|Delete"},
        {"CONTROL_OK", {294, 274, 64, 30}, Kind::GlyphButton, "check|OK"},
        {"CONTROL_CANCEL", {364, 274, 90, 30}, Kind::GlyphButton, "cross|Cancel"},
        {"CONTROL2_APPLY", {460, 274, 84, 30}, Kind::GlyphButton, "down|Apply"},
    };
}

QSize appProfilesWindowSize() {
    return {560, 376};
}

ControlList appProfilesControls() {
    return {
        {"APP_TITLE", {160, 16, 384, 22}, Kind::Plain, {}},
        {"APP_LIST", {16, 58, 528, 150}, Kind::Plain, {}},
        {"APP_REMOVE", {424, 216, 120, 28}, Kind::TextButton, {}},
        {"APP_ID_PROMPT", {16, 258, 110, 18}, Kind::Plain, {}},
        {"APP_ID", {130, 254, 190, 26}, Kind::Plain, {}},
        {"APP_PROFILE", {326, 254, 92, 26}, Kind::Plain, {}},
        {"APP_ADD", {424, 253, 120, 28}, Kind::TextButton, {}},
        {"APP_PICK", {16, 290, 304, 28}, Kind::TextButton, {}},
        {"APP_PICK_STATE", {326, 288, 218, 32}, Kind::Plain, {}},
        {"APP_DEFAULT_PROMPT", {16, 338, 150, 18}, Kind::Plain, {}},
        {"APP_DEFAULT", {170, 334, 190, 26}, Kind::Plain, {}},
        {"APP_DEFAULT_IN_FORCE", {366, 338, 72, 18}, Kind::Plain, {}},
        {"CONTROL_CLOSE", {444, 333, 100, 28}, Kind::TextButton, {}},
    };
}

} // namespace tavrik::skingen
