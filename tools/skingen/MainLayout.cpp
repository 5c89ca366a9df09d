#include "tools/skingen/MainLayout.h"

#include <QtMath>
#include <array>

// Layout of the main window, 1010 x 590 pixels:
//
//   title bar      y 0..44     word mark (VESTRO_LINK) left; help, menu,
//                              minimise and close buttons right
//   tool bar       y 52..82    profile buttons 1..3, current-profile button,
//                              macro editor and restore-defaults buttons
//   keyboard case  y 92..384   G keys G1..G9 in a column at the left; a strip
//                              above the keys with the Flip buttons, the
//                              arrow pictures, the buttons D1..D6 and the
//                              lock and bank lights; then the 105 keys and Fn
//                              in a full-size layout with the extra key K45
//                              beside the left Shift
//   lighting panel y 394..534  four boxes: report rate; lighting switch,
//                              effect list and busy indicator; brightness and
//                              speed; the options of the chosen effect
//   bottom bar     y 548..578  version label left; OK, Cancel, Apply right
//
// Controls that never show together may share a place: the option groups of
// the effects in the fourth box, and the direction group, whose three
// placements are for effects 1, 2, 3 and 7 (suffix 2, in the options
// box), effect 12 (suffix 3, its up and down pictures stacked) and
// effect 18 (no suffix: that effect has no speed, so the group takes the
// speed slider's place).
//
// Keys of our own beyond the usual set: FUNC_D1..FUNC_D6 place the buttons
// captioned D1..D6 that the Flip setting enables instead of F1..F4.

namespace tavrik::skingen {
namespace {

constexpr int kWidth = 1010;
constexpr int kHeight = 590;

// One key unit is 38 pixels; a cap leaves 4 pixels of gap to the next.
constexpr double kUnit = 38.0;
constexpr int kCapGap = 4;
constexpr int kMainX = 98;
constexpr int kNavX = kMainX + 15 * 38 + 19;
constexpr int kPadX = kNavX + 3 * 38 + 19;
constexpr std::array<int, 6> kRowY = {134, 184, 222, 260, 298, 336};
constexpr int kStripY = 102;
constexpr int kStripHeight = 22;

struct KeySpec {
    const char* key; // nullptr for a gap
    const char* legend;
    double width;
};

struct GridKey {
    const char* key;
    const char* legend;
    double column;
    int row;
    double width = 1.0;
    int rows = 1;
};

// The main block, row by row from the function keys down.
const std::array<std::vector<KeySpec>, 6>& mainRows() {
    static const std::array<std::vector<KeySpec>, 6> rows = {{
        {{"KEY_001", "Esc", 1},
         {nullptr, "", 1},
         {"KEY_03B", "F1", 1},
         {"KEY_03C", "F2", 1},
         {"KEY_03D", "F3", 1},
         {"KEY_03E", "F4", 1},
         {nullptr, "", 0.5},
         {"KEY_03F", "F5", 1},
         {"KEY_040", "F6", 1},
         {"KEY_041", "F7", 1},
         {"KEY_042", "F8", 1},
         {nullptr, "", 0.5},
         {"KEY_043", "F9", 1},
         {"KEY_044", "F10", 1},
         {"KEY_057", "F11", 1},
         {"KEY_058", "F12", 1}},
        {{"KEY_029", "`", 1},
         {"KEY_002", "1", 1},
         {"KEY_003", "2", 1},
         {"KEY_004", "3", 1},
         {"KEY_005", "4", 1},
         {"KEY_006", "5", 1},
         {"KEY_007", "6", 1},
         {"KEY_008", "7", 1},
         {"KEY_009", "8", 1},
         {"KEY_00A", "9", 1},
         {"KEY_00B", "0", 1},
         {"KEY_00C", "-", 1},
         {"KEY_00D", "=", 1},
         {"KEY_00E", "Backspace", 2}},
        {{"KEY_00F", "Tab", 1.5},
         {"KEY_010", "Q", 1},
         {"KEY_011", "W", 1},
         {"KEY_012", "E", 1},
         {"KEY_013", "R", 1},
         {"KEY_014", "T", 1},
         {"KEY_015", "Y", 1},
         {"KEY_016", "U", 1},
         {"KEY_017", "I", 1},
         {"KEY_018", "O", 1},
         {"KEY_019", "P", 1},
         {"KEY_01A", "[", 1},
         {"KEY_01B", "]", 1},
         {"KEY_02B", "\\", 1.5}},
        {{"KEY_03A", "Caps Lock", 1.75},
         {"KEY_01E", "A", 1},
         {"KEY_01F", "S", 1},
         {"KEY_020", "D", 1},
         {"KEY_021", "F", 1},
         {"KEY_022", "G", 1},
         {"KEY_023", "H", 1},
         {"KEY_024", "J", 1},
         {"KEY_025", "K", 1},
         {"KEY_026", "L", 1},
         {"KEY_027", ";", 1},
         {"KEY_028", "'", 1},
         {"KEY_01C", "Enter", 2.25}},
        {{"KEY_02A", "Shift", 1.25},
         {"KEY_056", "K45", 1},
         {"KEY_02C", "Z", 1},
         {"KEY_02D", "X", 1},
         {"KEY_02E", "C", 1},
         {"KEY_02F", "V", 1},
         {"KEY_030", "B", 1},
         {"KEY_031", "N", 1},
         {"KEY_032", "M", 1},
         {"KEY_033", ",", 1},
         {"KEY_034", ".", 1},
         {"KEY_035", "/", 1},
         {"KEY_036", "Shift", 2.75}},
        {{"KEY_01D", "Ctrl", 1.5},
         {"KEY_0DB", "Win", 1},
         {"KEY_038", "Alt", 1.5},
         {"KEY_039", "", 6},
         {"KEY_0B8", "Alt", 1},
         {"KEY_FN", "Fn", 1},
         {"KEY_0DC", "Win", 1},
         {"KEY_0DD", "App", 1},
         {"KEY_09D", "Ctrl", 1}},
    }};
    return rows;
}

const std::vector<GridKey>& navigationKeys() {
    static const std::vector<GridKey> keys = {
        {"KEY_0B7", "PrtSc", 0, 0},  {"KEY_046", "ScrLk", 1, 0},  {"KEY_045", "Pause", 2, 0},
        {"KEY_0D2", "Ins", 0, 1},    {"KEY_0C7", "Home", 1, 1},   {"KEY_0C9", "PgUp", 2, 1},
        {"KEY_0D3", "Del", 0, 2},    {"KEY_0CF", "End", 1, 2},    {"KEY_0D1", "PgDn", 2, 2},
        {"KEY_0C8", "\u2191", 1, 4}, {"KEY_0CB", "\u2190", 0, 5}, {"KEY_0D0", "\u2193", 1, 5},
        {"KEY_0CD", "\u2192", 2, 5},
    };
    return keys;
}

const std::vector<GridKey>& numericPadKeys() {
    static const std::vector<GridKey> keys = {
        {"KEY_0C5", "Num\nLock", 0, 1},   {"KEY_0B5", "/", 1, 1},
        {"KEY_037", "*", 2, 1},           {"KEY_04A", "-", 3, 1},
        {"KEY_047", "7", 0, 2},           {"KEY_048", "8", 1, 2},
        {"KEY_049", "9", 2, 2},           {"KEY_04E", "+", 3, 2, 1, 2},
        {"KEY_04B", "4", 0, 3},           {"KEY_04C", "5", 1, 3},
        {"KEY_04D", "6", 2, 3},           {"KEY_04F", "1", 0, 4},
        {"KEY_050", "2", 1, 4},           {"KEY_051", "3", 2, 4},
        {"KEY_09C", "Enter", 3, 4, 1, 2}, {"KEY_052", "0", 0, 5, 2},
        {"KEY_053", ".", 2, 5},
    };
    return keys;
}

// A cap from column `column` (in key units from `originX`) spanning `width`
// units and `rows` rows, with the gap on its right and bottom.
QRect capRect(int originX, double column, double width, int row, int rows) {
    const int left = originX + qRound(column * kUnit);
    const int right = originX + qRound((column + width) * kUnit) - kCapGap;
    const int top = kRowY.at(static_cast<std::size_t>(row));
    const int bottom = kRowY.at(static_cast<std::size_t>(row + rows - 1)) + qRound(kUnit) - kCapGap;
    return QRect(left, top, right - left, bottom - top);
}

void addKeyboard(ControlList& controls) {
    for (int row = 0; row < 6; ++row) {
        double column = 0;
        for (const KeySpec& keyCap : mainRows().at(static_cast<std::size_t>(row))) {
            if (keyCap.key != nullptr) {
                controls.push_back({QString::fromLatin1(keyCap.key),
                                    capRect(kMainX, column, keyCap.width, row, 1), Kind::Key,
                                    QString::fromUtf8(keyCap.legend)});
            }
            column += keyCap.width;
        }
    }
    for (const auto* cluster : {&navigationKeys(), &numericPadKeys()}) {
        const int originX = cluster == &navigationKeys() ? kNavX : kPadX;
        for (const GridKey& key : *cluster) {
            controls.push_back({QString::fromLatin1(key.key),
                                capRect(originX, key.column, key.width, key.row, key.rows),
                                Kind::Key, QString::fromUtf8(key.legend)});
        }
    }
}

void addTitleAndToolBar(ControlList& controls) {
    controls.push_back({"VESTRO_LINK", {20, 8, 130, 30}, Kind::Link, {}});
    controls.push_back({"CONTROL_HELP", {870, 10, 28, 24}, Kind::GlyphButton, "help"});
    controls.push_back({"CONTROL_MENU", {902, 10, 28, 24}, Kind::GlyphButton, "menu"});
    controls.push_back({"CONTROL_MINIMIZE", {934, 10, 28, 24}, Kind::GlyphButton, "minimise"});
    controls.push_back({"CONTROL_CLOSE", {966, 10, 28, 24}, Kind::GlyphButton, "close"});
    controls.push_back({"FUNC_PROFILE1", {20, 52, 96, 30}, Kind::TextButton, {}});
    controls.push_back({"FUNC_PROFILE2", {122, 52, 96, 30}, Kind::TextButton, {}});
    controls.push_back({"FUNC_PROFILE3", {224, 52, 96, 30}, Kind::TextButton, {}});
    controls.push_back({"FUNC_PROFILES", {330, 52, 260, 30}, Kind::TextButton, {}});
    controls.push_back({"FUNC_MACRO", {776, 52, 104, 30}, Kind::TextButton, {}});
    controls.push_back({"FUNC_DEFAULT", {888, 52, 106, 30}, Kind::TextButton, {}});
}

void addStripAndGKeys(ControlList& controls) {
    controls.push_back({"FLIP_1", {kMainX, kStripY, 22, kStripHeight}, Kind::GlyphButton, "left"});
    controls.push_back({"FLIP_0", {122, kStripY, 28, kStripHeight}, Kind::GlyphButton, "flip"});
    controls.push_back({"FLIP_2", {152, kStripY, 22, kStripHeight}, Kind::GlyphButton, "right"});
    controls.push_back({"LEFT_ARROW", {180, kStripY, 14, kStripHeight}, Kind::Plain, {}});
    for (int d = 0; d < 6; ++d) {
        controls.push_back({QStringLiteral("FUNC_D%1").arg(d + 1),
                            {196 + d * 38, kStripY, 34, kStripHeight},
                            Kind::Key,
                            QStringLiteral("D%1").arg(d + 1)});
    }
    controls.push_back({"RIGHT_ARROW", {424, kStripY, 14, kStripHeight}, Kind::Plain, {}});
    controls.push_back({"LOCK_NUM", {764, kStripY, 48, kStripHeight}, Kind::Indicator, "Num"});
    controls.push_back({"LOCK_CAPS", {816, kStripY, 48, kStripHeight}, Kind::Indicator, "Caps"});
    controls.push_back(
        {"LOCK_SCROLL", {868, kStripY, 48, kStripHeight}, Kind::Indicator, "Scroll"});
    controls.push_back({"LOCK_AB", {920, kStripY, 48, kStripHeight}, Kind::Indicator, "bank"});
    for (int g = 0; g < 9; ++g) {
        controls.push_back({QStringLiteral("FUNC_G%1").arg(g + 1),
                            {30, kStripY + g * 30, 52, 26},
                            Kind::Key,
                            QStringLiteral("G%1").arg(g + 1)});
    }
}

void addLightingPanel(ControlList& controls) {
    const auto plain = [&](const char* key, QRect rect) {
        controls.push_back({QString::fromLatin1(key), rect, Kind::Plain, {}});
    };
    // Report rate.
    plain("CONTROL_UsbStatic", {28, 404, 166, 18});
    controls.push_back({"FUNC_REPORT1", {28, 430, 80, 30}, Kind::GlyphButton, "125 Hz"});
    controls.push_back({"FUNC_REPORT2", {114, 430, 80, 30}, Kind::GlyphButton, "250 Hz"});
    controls.push_back({"FUNC_REPORT3", {28, 466, 80, 30}, Kind::GlyphButton, "500 Hz"});
    controls.push_back({"FUNC_REPORT4", {114, 466, 80, 30}, Kind::GlyphButton, "1000 Hz"});
    // Lighting switch, effect list, busy indicator.
    plain("CONTROL_DengStatic", {226, 404, 140, 18});
    plain("CONTROL_DengStaPic", {374, 400, 64, 26});
    plain("CONTROL_XGcombox", {226, 436, 212, 26});
    plain("CONTROL_JDTStatic", {226, 474, 212, 10});
    // Brightness and speed; effect 18 puts its direction group in the speed place.
    plain("CONTROL_LightStatic", {470, 404, 212, 18});
    plain("CONTROL_LightSlider", {470, 426, 212, 24});
    plain("CONTROL_SpeedStatic", {470, 462, 212, 18});
    plain("CONTROL_SpeedSlider", {470, 484, 212, 24});
    plain("CONTROL_BLFXStatic", {470, 462, 140, 18});
    plain("CONTROL_BLFXLStaPic", {470, 482, 48, 32});
    plain("CONTROL_BLFXRStaPic", {524, 482, 48, 32});
    plain("CONTROL_BLFXStatic2", {714, 404, 140, 18});
    plain("CONTROL_BLFXLStaPic2", {714, 428, 48, 32});
    plain("CONTROL_BLFXRStaPic2", {768, 428, 48, 32});
    plain("CONTROL_BLFXStatic3", {714, 404, 140, 18});
    plain("CONTROL_BLFXLStaPic3", {714, 428, 48, 32});
    plain("CONTROL_BLFXRStaPic3", {714, 466, 48, 32});
    // Colour and random colour; the reaction, key-colour and other colour
    // groups use the same places, one effect showing at most one of them.
    for (const char* prefix : {"HX", "TS", "CD"}) {
        const QString p = QString::fromLatin1(prefix);
        controls.push_back({"CONTROL_" + p + "ysStatic", {714, 404, 120, 18}, Kind::Plain, {}});
        controls.push_back({"CONTROL_" + p + "ysButton", {714, 428, 120, 28}, Kind::Plain, {}});
        controls.push_back({"CONTROL_" + p + "sjsStatic", {846, 404, 136, 18}, Kind::Plain, {}});
        controls.push_back({"CONTROL_" + p + "sjsStaPic", {846, 428, 28, 28}, Kind::Plain, {}});
    }
    plain("CONTROL_FYYSStatic", {714, 404, 120, 18});
    plain("CONTROL_FYYSButton", {714, 428, 120, 28});
    plain("CONTROL_FYSJSStatic", {846, 404, 136, 18});
    plain("CONTROL_FYSJSStaPic", {846, 428, 28, 28});
    plain("CONTROL_FYCFStatic", {714, 470, 268, 18});
    plain("CONTROL_FYdjcfStaPic", {714, 494, 20, 20});
    plain("CONTROL_FYdjcfStatic", {740, 495, 100, 18});
    plain("CONTROL_FYggcfStaPic", {846, 494, 20, 20});
    plain("CONTROL_FYggcfStatc", {872, 495, 110, 18});
    plain("CONTROL_JTysStatic", {714, 470, 120, 18});
    plain("CONTROL_JTysButton", {714, 494, 120, 28});
    // The four preset colours.
    plain("CONTROL_HONGPIC", {714, 420, 40, 40});
    plain("CONTROL_HUANGPIC", {762, 420, 40, 40});
    plain("CONTROL_LVPIC", {810, 420, 40, 40});
    plain("CONTROL_LANPIC", {858, 420, 40, 40});
    // Zone painting.
    plain("CONTROL_USERysStatic", {714, 404, 110, 18});
    plain("CONTROL_USERysButton", {714, 428, 110, 28});
    plain("CONTROL_USERjsStatic", {836, 404, 110, 18});
    plain("CONTROL_USERjsButton", {836, 428, 110, 28});
    plain("CONTROL_USERgjStatic", {714, 466, 70, 18});
    plain("CONTROL_USERgjStaPic1", {714, 488, 32, 32});
    plain("CONTROL_USERgjStaPic2", {752, 488, 32, 32});
    plain("CONTROL_USERgyStatic", {788, 495, 44, 18});
    plain("CONTROL_umCombo", {836, 492, 146, 24});
}

void addBottomBar(ControlList& controls) {
    controls.push_back({"VESTRO_VER", {20, 554, 260, 18}, Kind::Plain, {}});
    controls.push_back({"CONTROL_OK", {704, 548, 92, 30}, Kind::TextButton, {}});
    controls.push_back({"CONTROL_CANCEL", {802, 548, 92, 30}, Kind::TextButton, {}});
    controls.push_back({"CONTROL2_APPLY", {900, 548, 94, 30}, Kind::TextButton, {}});
}

} // namespace

QSize mainWindowSize() {
    return {kWidth, kHeight};
}

ControlList mainControls() {
    ControlList controls;
    addTitleAndToolBar(controls);
    addStripAndGKeys(controls);
    addKeyboard(controls);
    addLightingPanel(controls);
    addBottomBar(controls);
    return controls;
}

MainDecor mainDecor() {
    return {QRect(0, 0, kWidth, 44),
            QRect(16, 92, 978, 292),
            {QRect(16, 394, 190, 140), QRect(214, 394, 236, 140), QRect(458, 394, 236, 140),
             QRect(702, 394, 292, 140)},
            QRect(0, 542, kWidth, kHeight - 542)};
}

std::vector<ArrowPicture> arrowPictures() {
    // Four cells of 24 x 32 pixels side by side; each picture starts 5 pixels
    // into its cell, leaving room for the one-pixel shift of the copy.
    return {
        {"UP_ARROW_LEFT1", {5, 5}, "up", "LEFT_ARROW"},
        {"DOWN_ARROW_LEFT1", {29, 5}, "down", "LEFT_ARROW"},
        {"UP_ARROW_RIGHT1", {53, 5}, "up", "RIGHT_ARROW"},
        {"DOWN_ARROW_RIGHT1", {77, 5}, "down", "RIGHT_ARROW"},
    };
}

QSize arrowImageSize() {
    return {96, 32};
}

} // namespace tavrik::skingen
