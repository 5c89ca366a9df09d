#pragma once
// The control keys that the windows read from their layout files, as the
// program names them.

#include <cstdio>
#include <string>
#include <vector>

namespace tavrik::skintest {

// The main window's own buttons and labels.
inline const std::vector<std::string> kMainWindowKeys = {
    "CONTROL_OK",       "CONTROL_CANCEL", "CONTROL2_APPLY", "CONTROL_HELP",  "CONTROL_CLOSE",
    "CONTROL_MINIMIZE", "CONTROL_MENU",   "FUNC_PROFILES",  "FUNC_PROFILE1", "FUNC_PROFILE2",
    "FUNC_PROFILE3",    "FUNC_DEFAULT",   "FUNC_MACRO",     "FUNC_REPORT1",  "FUNC_REPORT2",
    "FUNC_REPORT3",     "FUNC_REPORT4",   "KEY_FN",         "LOCK_CAPS",     "LOCK_NUM",
    "LOCK_SCROLL",      "LOCK_AB",        "FLIP_0",         "FLIP_1",        "FLIP_2",
    "VESTRO_VER",       "VESTRO_LINK",    "LEFT_ARROW",     "RIGHT_ARROW",   "FUNC_D1",
    "FUNC_D2",          "FUNC_D3",        "FUNC_D4",        "FUNC_D5",       "FUNC_D6",
};

// Main window keys that are not image buttons over the state images: the
// version label and the two arrow pictures, which take their picture from
// the arrow image.
inline const std::vector<std::string> kMainWindowPlainKeys = {"VESTRO_VER", "LEFT_ARROW",
                                                              "RIGHT_ARROW"};

// The key index of each on-screen key, in panel order.
inline const std::vector<int> kPanelKeyIndexes = {
    0x01E, 0x030, 0x02E, 0x020, 0x012, 0x021, 0x022, 0x023, 0x017, 0x024, 0x025, 0x026,
    0x032, 0x031, 0x018, 0x019, 0x010, 0x013, 0x01F, 0x014, 0x016, 0x02F, 0x011, 0x02D,
    0x015, 0x02C, 0x002, 0x003, 0x004, 0x005, 0x006, 0x007, 0x008, 0x009, 0x00A, 0x00B,
    0x01C, 0x001, 0x00E, 0x00F, 0x039, 0x00C, 0x00D, 0x01A, 0x01B, 0x02B, 0x027, 0x028,
    0x029, 0x033, 0x034, 0x035, 0x03B, 0x03C, 0x03D, 0x03E, 0x03F, 0x040, 0x041, 0x042,
    0x043, 0x044, 0x057, 0x058, 0x0B7, 0x045, 0x0D2, 0x0D3, 0x0C7, 0x0CF, 0x0C9, 0x0D1,
    0x0C8, 0x0D0, 0x0CB, 0x0CD, 0x046, 0x03A, 0x0DD, 0x01D, 0x09D, 0x02A, 0x036, 0x038,
    0x0B8, 0x0DB, 0x0DC, 0x04F, 0x050, 0x051, 0x04B, 0x04C, 0x04D, 0x047, 0x048, 0x049,
    0x052, 0x0C5, 0x09C, 0x053, 0x0B5, 0x037, 0x04A, 0x04E, 0x056,
};

// "KEY_%03X" of every panel key, then "FUNC_G1".."FUNC_G9".
inline std::vector<std::string> panelKeys() {
    std::vector<std::string> keys;
    for (const int index : kPanelKeyIndexes) {
        char name[16];
        std::snprintf(name, sizeof name, "KEY_%03X", index);
        keys.emplace_back(name);
    }
    for (int g = 1; g <= 9; ++g) {
        keys.push_back("FUNC_G" + std::to_string(g));
    }
    return keys;
}

inline const std::vector<std::string> kLightingKeys = {
    "CONTROL_UsbStatic",    "CONTROL_DengStatic",    "CONTROL_DengStaPic",
    "CONTROL_XGcombox",     "CONTROL_JDTStatic",     "CONTROL_LightStatic",
    "CONTROL_LightSlider",  "CONTROL_SpeedStatic",   "CONTROL_SpeedSlider",
    "CONTROL_BLFXStatic",   "CONTROL_BLFXLStaPic",   "CONTROL_BLFXRStaPic",
    "CONTROL_BLFXStatic2",  "CONTROL_BLFXLStaPic2",  "CONTROL_BLFXRStaPic2",
    "CONTROL_BLFXStatic3",  "CONTROL_BLFXLStaPic3",  "CONTROL_BLFXRStaPic3",
    "CONTROL_FYYSStatic",   "CONTROL_FYYSButton",    "CONTROL_FYSJSStaPic",
    "CONTROL_FYSJSStatic",  "CONTROL_FYCFStatic",    "CONTROL_FYdjcfStatic",
    "CONTROL_FYggcfStatc",  "CONTROL_FYdjcfStaPic",  "CONTROL_FYggcfStaPic",
    "CONTROL_HONGPIC",      "CONTROL_HUANGPIC",      "CONTROL_LVPIC",
    "CONTROL_LANPIC",       "CONTROL_HXysStatic",    "CONTROL_HXysButton",
    "CONTROL_HXsjsStatic",  "CONTROL_HXsjsStaPic",   "CONTROL_JTysStatic",
    "CONTROL_JTysButton",   "CONTROL_USERysStatic",  "CONTROL_USERysButton",
    "CONTROL_USERjsStatic", "CONTROL_USERjsButton",  "CONTROL_USERgjStatic",
    "CONTROL_USERgyStatic", "CONTROL_USERgjStaPic1", "CONTROL_USERgjStaPic2",
    "CONTROL_TSysStatic",   "CONTROL_TSysButton",    "CONTROL_TSsjsStatic",
    "CONTROL_TSsjsStaPic",  "CONTROL_CDysStatic",    "CONTROL_CDysButton",
    "CONTROL_CDsjsStatic",  "CONTROL_CDsjsStaPic",   "CONTROL_umCombo",
};

inline const std::vector<std::string> kCompositeCommonKeys = {
    "CONTROL_OK",    "CONTROL_CANCEL", "CONTROL_CLEAR", "CONTROL_FUNCTION", "CONTROL_KEY",
    "CONTROL_MACRO", "CONTROL_MEDIA",  "CONTROL_OSK",   "CONTROL_TITLE",    "KEY_SETTING",
};

inline const std::vector<std::string> kCompositeKeySection = {"FUNC_KEY_INPUT",
                                                              "TISHI_SINGLE_STATIC"};
inline const std::vector<std::string> kCompositeMediaSection = {"FUNC_MEDIA_SELECT",
                                                                "MEDIA_SETTING_TISHI"};
inline const std::vector<std::string> kCompositeFunctionSection = {"FUNC_FUNCTION_SELECT",
                                                                   "FUNCTION_KEY_SETTING_TISHI"};
inline const std::vector<std::string> kCompositeMacroSection = {
    "FUNC_MACRO_ADD",          "FUNC_MACRO_CLEAR",
    "FUNC_MACRO_CYCLES",       "FUNC_MACRO_CYCLES_PROMPT",
    "FUNC_MACRO_DELETE",       "FUNC_MACRO_DELETE2",
    "FUNC_MACRO_UP",           "FUNC_MACRO_UP_TOP",
    "FUNC_MACRO_DOWN",         "FUNC_MACRO_DOWN_BOTTOM",
    "FUNC_MACRO_LIST",         "FUNC_MACRO_LIST2",
    "FUNC_MACRO_TIMELINE",     "FUNC_MACRO_RECORD",
    "FUNC_MACRO_RECORD_DELAY", "FUNC_MACRO_RECORD_DELAY2",
    "MARCO_NAME_SETTING",
};

// Image buttons of the composite editor, by the image set they take.
inline const std::vector<std::string> kCompositeKeySetButtons = {
    "CONTROL_TITLE", "CONTROL_OSK",      "CONTROL_CLEAR", "CONTROL_KEY",    "CONTROL_MACRO",
    "CONTROL_MEDIA", "CONTROL_FUNCTION", "CONTROL_OK",    "CONTROL_CANCEL",
};
inline const std::vector<std::string> kCompositeMacroSetButtons = {
    "FUNC_MACRO_ADD",     "FUNC_MACRO_DELETE", "FUNC_MACRO_UP_TOP",
    "FUNC_MACRO_UP",      "FUNC_MACRO_DOWN",   "FUNC_MACRO_DOWN_BOTTOM",
    "FUNC_MACRO_DELETE2", "FUNC_MACRO_CLEAR",  "FUNC_MACRO_RECORD",
};
inline const std::vector<std::string> kCompositeMacroOnlyButtons = {
    "CONTROL_TITLE", "CONTROL_CLEAR", "CONTROL_KEY", "CONTROL_MEDIA", "CONTROL_FUNCTION",
};

inline const std::vector<std::string> kProfileButtons = {
    "CONTROL_OK", "CONTROL_CANCEL", "FUNC_ADD", "FUNC_LOAD", "FUNC_DELETE", "CONTROL2_APPLY",
};

} // namespace tavrik::skintest
