#include "keyboard/Catalogues.h"

#include "text/LanguageTexts.h"

namespace tavrik::keyboard {

constexpr std::array<MediaEntry, kMediaCount> MediaCatalogue = {{
    {0x0183, 0x16D, "MEDIA_PALYER_1"},
    {0x00CD, 0x122, "MEDIA_PALY_PAUSE_2"},
    {0x00B7, 0x124, "MEDIA_STOP_PALY_3"},
    {0x00B6, 0x110, "MEDIA_PREV_TRACK_4"},
    {0x00B5, 0x119, "MEDIA_Next_TRACK_5"},
    {0x00EA, 0x12E, "MEDIA_V_LOW_6"},
    {0x00E9, 0x130, "MEDIA_V_ADD_7"},
    {0x00E2, 0x120, "MEDIA_MUTE_8"},
    {0x0223, 0x132, "MEDIA_WWW_HOME_9"},
    {0x0227, 0x167, "MEDIA_WWW_REFRESH_10"},
    {0x0226, 0x168, "MEDIA_WWW_STOP_11"},
    {0x0224, 0x16A, "MEDIA_WWW_BACK_12"},
    {0x0225, 0x169, "MEDIA_WWW_FORWARD_13"},
    {0x022A, 0x166, "MEDIA_WWW_FAVORITE_14"},
    {0x0221, 0x165, "MEDIA_WWW_SEARCH_15"},
    {0x0194, 0x16B, "MEDIA_MY_PC_16"},
    {0x0192, 0x121, "MEDIA_CALC_17"},
    {0x018A, 0x16C, "MEDIA_MAIL_18"},
}};

constexpr std::array<FunctionEntry, kFunctionCount> FunctionCatalogue = {{
    {"FUNC_KEY_DESC1", u"Open"},
    {"FUNC_KEY_DESC2", u"New"},
    {"FUNC_KEY_DESC3", u"Undo"},
    {"FUNC_KEY_DESC4", u"Save"},
    {"FUNC_KEY_DESC5", u"Copy"},
    {"FUNC_KEY_DESC6", u"Cut"},
    {"FUNC_KEY_DESC7", u"Paste"},
    {"FUNC_KEY_DESC8", u"Find"},
    {"FUNC_KEY_DESC9", u"Select All"},
    {"FUNC_KEY_DESC10", u"Zoom-"},
    {"FUNC_KEY_DESC11", u"Zoom+"},
}};

std::uint16_t mediaUsage(std::uint32_t index) {
    return index < MediaCatalogue.size() ? MediaCatalogue[index].usage : 0;
}

KeyCode mediaKeyCode(std::uint32_t index) {
    return index < MediaCatalogue.size() ? MediaCatalogue[index].keyCode : 0;
}

std::u16string functionText(std::uint32_t index) {
    if (index >= FunctionCatalogue.size()) {
        return {};
    }
    return text::languageText(FunctionCatalogue[index].languageKey);
}

std::optional<std::size_t> mediaIndexOfUsage(std::uint16_t usage) {
    for (std::size_t index = 0; index < MediaCatalogue.size(); ++index) {
        if (MediaCatalogue[index].usage == usage) {
            return index;
        }
    }
    return std::nullopt;
}

} // namespace tavrik::keyboard
