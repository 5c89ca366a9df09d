#include "text/LanguageTexts.h"

#include <array>
#include <map>
#include <mutex>

namespace tavrik::text {
namespace {

using G = TextGroup;

// Placeholders of the built-in table; they carry no meaning.
constexpr std::u16string_view kHelloWorldCapital = u"Hello world";
constexpr std::u16string_view kHello = u"hello";
constexpr std::u16string_view kHelloWorld = u"hello world";

constexpr TextSlotInfo kSlots[] = {
    // Key assignment texts
    {"UNKNOWN_KEY", u"Unknown Key: %03x", G::Main},
    {"KEY_PROMPT", u"No Use!", G::Main},
    {"KEY_PROMPT_SET", u"Keys, Set: ", G::Main},
    {"KEY_PROMPT_SINGLE", u"Key(", G::Main},
    {"KEY_PROMPT_MACRO", u"Macro(", G::Main},
    {"KEY_PROMPT_MEDIA", u"Media(", G::Main},
    {"KEY_PROMPT_FUNCTION", u"Function(", G::Main},
    {"APPLY_PROMPT", u"No Use!", G::Main},
    {"FUNC_KEY_DESC1", u"Open", G::Main},
    {"FUNC_KEY_DESC2", u"New", G::Main},
    {"FUNC_KEY_DESC3", u"Undo", G::Main},
    {"FUNC_KEY_DESC4", u"Save", G::Main},
    {"FUNC_KEY_DESC5", u"Copy", G::Main},
    {"FUNC_KEY_DESC6", u"Cut", G::Main},
    {"FUNC_KEY_DESC7", u"Paste", G::Main},
    {"FUNC_KEY_DESC8", u"Find", G::Main},
    {"FUNC_KEY_DESC9", u"Select All", G::Main},
    {"FUNC_KEY_DESC10", u"Zoom-", G::Main},
    {"FUNC_KEY_DESC11", u"Zoom+", G::Main},
    // Media function names
    {"MEDIA_PALYER_1", kHelloWorldCapital, G::Main},
    {"MEDIA_PALY_PAUSE_2", kHelloWorldCapital, G::Main},
    {"MEDIA_STOP_PALY_3", kHelloWorldCapital, G::Main},
    {"MEDIA_PREV_TRACK_4", kHelloWorldCapital, G::Main},
    {"MEDIA_Next_TRACK_5", kHelloWorldCapital, G::Main},
    {"MEDIA_V_LOW_6", kHelloWorldCapital, G::Main},
    {"MEDIA_V_ADD_7", kHelloWorldCapital, G::Main},
    {"MEDIA_MUTE_8", kHelloWorldCapital, G::Main},
    {"MEDIA_WWW_HOME_9", kHelloWorldCapital, G::Main},
    {"MEDIA_WWW_REFRESH_10", kHelloWorldCapital, G::Main},
    {"MEDIA_WWW_STOP_11", kHelloWorldCapital, G::Main},
    {"MEDIA_WWW_BACK_12", kHelloWorldCapital, G::Main},
    {"MEDIA_WWW_FORWARD_13", kHelloWorldCapital, G::Main},
    {"MEDIA_WWW_FAVORITE_14", kHelloWorldCapital, G::Main},
    {"MEDIA_WWW_SEARCH_15", kHelloWorldCapital, G::Main},
    {"MEDIA_MY_PC_16", kHelloWorldCapital, G::Main},
    {"MEDIA_CALC_17", kHelloWorldCapital, G::Main},
    {"MEDIA_MAIL_18", kHelloWorldCapital, G::Main},
    // Macro texts
    {"MACRO_ACTION_RECORD_DELAY", u"RecordDelay", G::Main},
    {"MACRO_NEW_PREFIX", u"Macro", G::Main},
    {"MACRO_ERR_MAX", u"The maximum number of macro: %d   ", G::Main},
    {"MACRO_ERR_SAME", u"Same macro name!   ", G::Main},
    {"MACRO_ERR_NAME_SYSTEM", u"This macro is used in the system! ", G::Main},
    {"MACRO_DEFAULT_NAME", u"Empty Macro", G::Main},
    {"MACRO_ERR_RECORD", u"Please stop the macro record first! ", G::Main},
    {"MACRO_KEYS_TISHI", kHelloWorld, G::Main},
    {"MACRO_ACTION_TISHI", kHelloWorld, G::Main},
    {"MACRO_DELAY_MS", kHelloWorld, G::Main},
    {"MACRO_ACTION_CLEAR_CONFIRM", u"Really need to clear the macro action? ", G::Main},
    {"MACRO_ACTION_ERR_MODIFY", u"You can not edit, use the macro record button. ", G::Main},
    {"MACRO_ACTION_ERR_DELAY_MAX", u"Maximum delay time is: %d(ms) ", G::Main},
    {"MACRO_ACTION_RECORD", u"Record", G::Main},
    {"MACRO_ACTION_STOP_RECORD", u"Stop Record", G::Main},
    {"EXTRA_MACRO_TOO_LONG",
     u"Macro space exceeds the hardware space.\r\n Please reduce the number of macros or macro "
     u"action number\uFF0Cand then download.",
     G::Main},
    {"MACRO_DELETE_CONFIRM_OF_KEYS",
     u"Detect some key points to set this macro, \n  really need to remove this macro?  ", G::Main},
    // Profile texts
    {"DEFAULT_PROFILE_NAME", u"<Default Profile>", G::Main},
    {"PROFILE_SELECT_PROMPT", u"Whether to save the profile settings made?", G::Main},
    {"PROFILE_SEELCT_PROMPT2",
     u"When fast switch scene mode, you must first close the editor dialog box.", G::Main},
    {"PROFILE_FORMAT_ERROR", u"wrong file format, revert to the default values: \n  %s", G::Main},
    {"PROFILE_NEW", u"\\The new contextual  mode", G::Main},
    {"PROFILE_TIP", u"The current contextual  mode: ", G::Main},
    // Texts of our own: the current-profile button names the profile by its
    // number, and the profile manager explains what it refuses.
    {"PROFILE_NUMBER", u"Profile %d", G::Main},
    {"PROFILE_ROW_NOT_ACTIVE",
     u"Only the first three rows stand for the keyboard's profiles 1, 2 and 3; this row cannot "
     u"be made active.",
     G::Main},
    {"PROFILE_NEW_FAILED", u"The profile file could not be written: %s", G::Main},
    // The profile manager's column headers.
    {"PROFILE_HEADER_ACTIVE", u"Active", G::Main},
    {"PROFILE_HEADER_NAME", u"Name", G::Main},
    {"PROFILE_HEADER_PATH", u"Path", G::Main},
    // Texts of our own: what the user is told happened.
    {"EXPORT_DONE", u"The profile is exported to %s", G::Main},
    {"HELP_NOT_OPENED", u"The user guide could not be opened. It is at %s", G::Main},
    // The tips of the lighting panel's switch, and of the keys while it is
    // on.
    {"LIGHTING_SWITCH_TIP",
     u"Shows the settings of the chosen effect and paints zones on the keys. While it is on, a "
     u"click on a key paints its zone instead of opening the key editor.",
     G::Main},
    {"LIGHTING_PAINTING_KEY_TIP",
     u"The lighting switch is on: a click paints this key's zone. Turn it off to edit the key.",
     G::Main},
    // Texts of our own: what keeps the keyboard's setup from being lost.
    {"KEYBOARD_READ_FAILED",
     u"The keyboard's setup could not be read, so the window keeps what it showed and nothing was "
     u"changed.",
     G::Main},
    {"WORKING_COPY_NOT_SAVED",
     u"The working copy of your keyboard's setup cannot be saved in %s. Tavrik keeps what it read "
     u"from the keyboard in memory and goes on; applied changes still reach the keyboard.",
     G::Main},
    {"APPLY_NOT_READ",
     u"The keyboard's setup has not been read yet, so nothing was written to it, to keep what it "
     u"holds. Plug the keyboard in again to have it read.",
     G::Main},
    {"APPLY_KEYBOARD_FAILED",
     u"The keyboard did not take the changes (it did not answer, refused them or was unplugged). "
     u"They are kept: press Apply to try again.",
     G::Main},
    {"APPLY_NOT_SAVED",
     u"The keyboard has the changes, but their working copy could not be saved: %s", G::Main},
    {"EXPORT_FAILED", u"The profile could not be exported: %s", G::Main},
    // Texts of our own: what the session bus interface answers.
    {"BUS_NO_KEYBOARD", u"No keyboard is connected.", G::Main},
    {"BUS_UNAPPLIED",
     u"Tavrik's window holds changes that are not applied yet: apply or discard them there first.",
     G::Main},
    {"BUS_PROFILE_REFUSED", u"The keyboard did not take profile %d.", G::Main},
    // Texts of our own: profiles that follow the focused application.
    {"APPRULE_CHOSEN", u"The rule for %s chose this profile: it follows the focused application.",
     G::Main},
    {"APPRULE_DEFAULT",
     u"The default for applications without a rule chose this profile: it follows the focused "
     u"application.",
     G::Main},
    {"APPRULE_WAITS",
     u"The switch for %s waits: it comes once the key editor is closed and the changes are "
     u"applied or discarded.",
     G::Main},
    // The application profiles dialog.
    {"APPPROFILES_TITLE", u"Application profiles", G::Main},
    {"APPPROFILES_HEADER_IN_FORCE", u"In force", G::Main},
    {"APPPROFILES_HEADER_APP", u"Application", G::Main},
    {"APPPROFILES_HEADER_PROFILE", u"Profile", G::Main},
    {"APPPROFILES_ID_PROMPT", u"Application id:", G::Main},
    {"APPPROFILES_ADD", u"Add", G::Main},
    {"APPPROFILES_REMOVE", u"Remove", G::Main},
    {"APPPROFILES_PICK", u"Pick the next window that gets focus", G::Main},
    {"APPPROFILES_PICK_CANCEL", u"Cancel the pick", G::Main},
    {"APPPROFILES_PICK_WAITING", u"Waiting: click the application's window.", G::Main},
    {"APPPROFILES_PICK_UNAVAILABLE",
     u"This desktop does not tell which window has the focus: type the id.", G::Main},
    {"APPPROFILES_DEFAULT_PROMPT", u"Without a rule:", G::Main},
    {"APPPROFILES_DEFAULT_NONE", u"Leave the keyboard as it is", G::Main},
    {"APPPROFILES_IN_FORCE", u"● in force", G::Main},
    {"APPPROFILES_CLOSE", u"Close", G::Main},
    {"APPPROFILES_NOT_SAVED",
     u"The application profiles could not be saved, so they stay as they were.", G::Main},
    // Texts of our own: the whole-keyboard backup.
    {"BACKUP_DONE", u"The keyboard is backed up in %s", G::Main},
    {"BACKUP_READ_FAILED", u"The keyboard could not be read, so no backup was made.", G::Main},
    {"BACKUP_WRITE_FAILED", u"The backup could not be saved: %s", G::Main},
    {"RESTORE_DONE", u"The keyboard was restored from %s", G::Main},
    {"RESTORE_CANNOT_READ", u"The backup cannot be read: %s", G::Main},
    {"RESTORE_FOREIGN", u"This is not a keyboard backup, so the keyboard was left as it is: %s",
     G::Main},
    {"RESTORE_DAMAGED",
     u"The backup is damaged or incomplete, so the keyboard was left as it is: %s", G::Main},
    {"RESTORE_NEWER",
     u"The backup was made by a newer version of Tavrik, so the keyboard was left as it is: %s",
     G::Main},
    {"RESTORE_NO_KEYBOARD", u"The keyboard does not answer, so nothing was restored.", G::Main},
    {"RESTORE_TOO_LARGE",
     u"The macros of the backup do not fit into this keyboard's memory, so the keyboard was left "
     u"as it is.",
     G::Main},
    {"RESTORE_WRITE_FAILED",
     u"The keyboard did not take the whole backup and may now hold part of it. Restore the backup "
     u"again.",
     G::Main},
    {"RESTORE_NOT_CONFIRMED",
     u"The keyboard was written, but it reads back differently from the backup. Restore the backup "
     u"again.",
     G::Main},
    {"RESTORE_QUESTION",
     u"Restoring replaces everything the keyboard holds (key maps, macros, the active profile and "
     u"the lighting) with the backup, and changes that were not applied are lost. Restore from %s?",
     G::Main},
    {"RESTORE_CLOSE_EDITOR", u"Please close the key editor before you restore the keyboard.",
     G::Main},
    // The tray menu's "Start with the desktop".
    {"AUTOSTART_FAILED", u"The autostart entry could not be changed: %s", G::Main},
    // Said once where no tray icon shows.
    {"MAIN_BACKGROUND_NOTE",
     u"This desktop shows no tray icon. Closing the window minimises it, and the program keeps "
     u"running in the background; Exit in the menu ends it.",
     G::Main},
    {"EXTRA_PROFILE_SPACE_TIGHT",
     u"shortage of hardware space, cancelled the macro name of storage.", G::Main},
    // Main window texts
    {"KEYBOARD_TRAY_DESC", u"Arcton", G::Main},
    {"MAIN_CAPTION", u"Gaming Keyboard Settings", G::Main},
    {"MAIN_HELP_PROMPT", u"Help", G::Main},
    {"MAIN_MINIMIZE_PROMPT", u"Minimize", G::Main},
    {"MAIN_MENU_PROMPT", u"Menu", G::Main},
    {"MAIN_CLOSE_PROMPT", u"Close", G::Main},
    {"MAIN_BUTTON_VESTRO_VER", u"", G::Main},
    {"MAIN_PROMPT_DEFAULT", u"Do you want to restore the default settings?", G::Main},
    {"MAIN_PROMPT_INPORT", u"File format error, import failed! ", G::Main},
    {"MAIN_DEFAULT_MATRIX_PROMPT", u"Reads the default keyboard layout failure", G::Main},
    {"MAIN_NO_DEVICE_PROMPT",
     u"Device is not detected\uFF0Cthe key settings can not be displayed! ", G::Main},
    // Button captions of the profile group
    {"PROFILE_1", kHello, G::ProfileCaptions},
    {"PROFILE_2", kHello, G::ProfileCaptions},
    {"PROFILE_3", kHello, G::ProfileCaptions},
    {"PROFILE_MACRO", kHello, G::ProfileCaptions},
    {"PROFILE_DEFAULT", kHello, G::ProfileCaptions},
    {"PROFILE_OK", kHello, G::ProfileCaptions},
    {"PROFILE_CANCLE", kHello, G::ProfileCaptions},
    {"PROFILE_APPLY", kHello, G::ProfileCaptions},
    // Menus: main menu by position 0..3 and the backup items, tray menu by position 0..2
    // and the autostart item
    {"MENU_1", u"Import", G::Menu},
    {"MENU_2", u"Export", G::Menu},
    {"MENU_3", u"About", G::Menu},
    {"MENU_4", u"Close", G::Menu},
    {"MENU_5", u"Back up keyboard\u2026", G::Menu},
    {"MENU_6", u"Restore keyboard\u2026", G::Menu},
    {"MENU_7", u"Application profiles\u2026", G::Menu},
    {"MENU_11", u"Open", G::Menu},
    {"MENU_22", u"About", G::Menu},
    {"MENU_33", u"Exit", G::Menu},
    {"MENU_44", u"Start with the desktop", G::Menu},
    // About box
    {"GUANYU_JIESHAO", u"", G::About},
    {"GUANYU_BANQUAN", u"", G::About},
    // Composite editor
    {"COMPOSITE_PROMPT_CLEAR", u"Restore the default functiong of buttons", G::Composite},
    {"COMPOSITE_PROMPT_OSK", u"Open the on-screen keyboard", G::Composite},
    {"COMPOSITE_MACRO_OVER", u"Macro space beyond hardware store size", G::Composite},
    {"MACRO_CYCLES", u"Cycles", G::Composite},
    {"RECORD_DELAY", u"Record Delay", G::Composite},
    {"SINGLE_KEY", kHello, G::Composite},
    {"MACRO_SETTING", kHello, G::Composite},
    {"MULTI_MEDIA", kHello, G::Composite},
    {"FUNCTION_KEY", kHello, G::Composite},
    {"A_TOP", kHello, G::Composite},
    {"A_UP", kHello, G::Composite},
    {"A_DOWN", kHello, G::Composite},
    {"A_BOTTOM", kHello, G::Composite},
    {"A_RECORD", kHello, G::Composite},
    {"A_DELETE", kHello, G::Composite},
    {"A_CLEAR", kHello, G::Composite},
    {"MACRO_OK", kHello, G::Composite},
    {"MACRO_CANCLE", kHello, G::Composite},
    {"SINGLE_STATIC", kHello, G::Composite},
    {"MACRO_NAME_SETTING", kHello, G::Composite},
    {"KEY_SETTING_TISHI", kHello, G::Composite},
    {"MACRO_EDIT_TISHI", kHello, G::Composite},
    {"MEDIA_EDIT_TISHI", kHello, G::Composite},
    {"FUNCTION_TISHI", kHello, G::Composite},
    // The editor's title names the key it edits ("%s" the key's name).
    {"KEY_SETTING_OF", u"Key settings \u2014 %s", G::Composite},
    // Composite editor texts of this program: the macro timeline ("%1" the
    // number of actions, "%2" one play in seconds, "%3" the cycles, "%4" all
    // cycles in seconds), the start of an action ("%1" in seconds) and the
    // on-screen keyboard button without a program.
    {"MACRO_TIMELINE", u"%1 actions, %2 s, x%3 = %4 s", G::Composite},
    {"MACRO_ACTION_START", u"Starts at %1 s", G::Composite},
    {"COMPOSITE_NO_OSK",
     u"No on-screen keyboard program is installed. Install one, for example onboard or "
     u"florence.",
     G::Composite},
};

constexpr std::size_t kSlotCount = std::size(kSlots);

struct SlotTable {
    std::mutex mutex;
    std::array<std::u16string, kSlotCount> texts;
    std::map<std::string_view, std::size_t> indexByKey;

    SlotTable() {
        for (std::size_t i = 0; i < kSlotCount; ++i) {
            texts[i] = std::u16string(kSlots[i].builtInDefault);
            indexByKey.emplace(kSlots[i].key, i);
        }
    }
};

SlotTable& table() {
    static SlotTable slots;
    return slots;
}

} // namespace

std::span<const TextSlotInfo> textSlots() {
    return kSlots;
}

std::u16string languageText(std::string_view key) {
    SlotTable& slots = table();
    std::lock_guard lock(slots.mutex);
    const auto found = slots.indexByKey.find(key);
    return found == slots.indexByKey.end() ? std::u16string() : slots.texts[found->second];
}

void setLanguageText(std::string_view key, std::u16string text) {
    SlotTable& slots = table();
    std::lock_guard lock(slots.mutex);
    const auto found = slots.indexByKey.find(key);
    if (found != slots.indexByKey.end()) {
        slots.texts[found->second] = std::move(text);
    }
}

void resetLanguageTexts() {
    SlotTable& slots = table();
    std::lock_guard lock(slots.mutex);
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        slots.texts[i] = std::u16string(kSlots[i].builtInDefault);
    }
}

} // namespace tavrik::text
