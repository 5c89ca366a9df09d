#include "keyboard/PanelKeyList.h"

#include <algorithm>
#include <cstdio>

namespace tavrik::keyboard {

// clang-format off
const std::array<PanelKey, kPanelKeyCount> PanelKeyList = {{
    {1058, 0x01E}, {1075, 0x030}, {1073, 0x02E}, {1060, 0x020}, {1046, 0x012}, {1061, 0x021},
    {1062, 0x022}, {1063, 0x023}, {1051, 0x017}, {1064, 0x024}, {1065, 0x025}, {1066, 0x026},
    {1077, 0x032}, {1076, 0x031}, {1052, 0x018}, {1053, 0x019}, {1044, 0x010}, {1047, 0x013},
    {1059, 0x01F}, {1048, 0x014}, {1050, 0x016}, {1074, 0x02F}, {1045, 0x011}, {1072, 0x02D},
    {1049, 0x015}, {1071, 0x02C}, {1030, 0x002}, {1031, 0x003}, {1032, 0x004}, {1033, 0x005},
    {1034, 0x006}, {1035, 0x007}, {1036, 0x008}, {1037, 0x009}, {1038, 0x00A}, {1039, 0x00B},
    {1070, 0x01C}, {1022, 0x001}, {1043, 0x00E}, {1056, 0x00F}, {1090, 0x039}, {1040, 0x00C},
    {1041, 0x00D}, {1054, 0x01A}, {1055, 0x01B}, {1042, 0x02B}, {1067, 0x027}, {1068, 0x028},
    {1029, 0x029}, {1078, 0x033}, {1079, 0x034}, {1080, 0x035}, {1010, 0x03B}, {1011, 0x03C},
    {1012, 0x03D}, {1013, 0x03E}, {1014, 0x03F}, {1015, 0x040}, {1023, 0x041}, {1024, 0x042},
    {1025, 0x043}, {1026, 0x044}, {1027, 0x057}, {1028, 0x058}, {1091, 0x137}, {1093, 0x045},
    {1094, 0x152}, {1097, 0x153}, {1095, 0x147}, {1098, 0x14F}, {1096, 0x149}, {1099, 0x151},
    {1103, 0x148}, {1101, 0x150}, {1100, 0x14B}, {1102, 0x14D}, {1092, 0x046}, {1069, 0x03A},
    {1088, 0x15D}, {1083, 0x01D}, {1089, 0x11D}, {1082, 0x02A}, {1081, 0x036}, {1085, 0x038},
    {1086, 0x138}, {1084, 0x15B}, {1087, 0x15C}, {1115, 0x04F}, {1116, 0x050}, {1117, 0x051},
    {1112, 0x04B}, {1113, 0x04C}, {1114, 0x04D}, {1108, 0x047}, {1109, 0x048}, {1110, 0x049},
    {1120, 0x052}, {1104, 0x145}, {1118, 0x11C}, {1119, 0x053}, {1105, 0x135}, {1106, 0x037},
    {1107, 0x04A}, {1111, 0x04E}, {1208, 0x056},
}};
// clang-format on

namespace {

std::u16string latin(const char* text) {
    std::u16string result;
    for (; *text != '\0'; ++text) {
        result += static_cast<char16_t>(*text);
    }
    return result;
}

} // namespace

std::u16string panelKeySkinEntry(KeyCode code) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "KEY_%03X", static_cast<unsigned>(keyIndexOf(code)));
    return latin(entry);
}

std::u16string gKeySkinEntry(std::size_t index) {
    char entry[16];
    std::snprintf(entry, sizeof entry, "FUNC_G%zu", index + 1);
    return latin(entry);
}

std::optional<std::size_t> panelPositionOf(int buttonId) {
    const auto found =
        std::find_if(PanelKeyList.begin(), PanelKeyList.end(),
                     [buttonId](const PanelKey& key) { return key.buttonId == buttonId; });
    if (found == PanelKeyList.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - PanelKeyList.begin());
}

std::optional<std::size_t> gButtonIndexOf(int buttonId) {
    const auto found = std::find(GButtonIds.begin(), GButtonIds.end(), buttonId);
    if (found == GButtonIds.end()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(found - GButtonIds.begin());
}

} // namespace tavrik::keyboard
