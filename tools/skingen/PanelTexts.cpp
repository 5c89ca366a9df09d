#include "tools/skingen/PanelTexts.h"

namespace tavrik::skingen {

// Effects with a direction (1, 2, 7, 12, 18) and the vertical one (12) are
// named after their movement; 4 is the single steady colour, 8 the zones
// painted on the on-screen keyboard, 16 lights the keys that are pressed,
// 17 cycles through the four preset colours.
std::vector<QString> effectNames(PanelLanguage language) {
    if (language == PanelLanguage::English) {
        return {"Wave",         "Rainbow flow",     "Spectrum cycle", "Static",
                "Breathing",    "Ripple",           "Marquee",        "Custom zones",
                "Starlight",    "Raindrops",        "Neon",           "Waterfall",
                "Flash",        "Heartbeat",        "Fireworks",      "Reactive",
                "Four colours", "Spread and gather"};
    }
    return {QStringLiteral("波浪"),     QStringLiteral("彩虹流动"),   QStringLiteral("光谱循环"),
            QStringLiteral("常亮"),     QStringLiteral("呼吸"),       QStringLiteral("涟漪"),
            QStringLiteral("跑马灯"),   QStringLiteral("自定义分区"), QStringLiteral("星光"),
            QStringLiteral("雨滴"),     QStringLiteral("霓虹"),       QStringLiteral("瀑布"),
            QStringLiteral("闪烁"),     QStringLiteral("心跳"),       QStringLiteral("烟花"),
            QStringLiteral("按键反应"), QStringLiteral("四色轮换"),   QStringLiteral("扩散与聚拢")};
}

std::vector<std::pair<QString, QString>> panelLabels(PanelLanguage language) {
    if (language == PanelLanguage::English) {
        return {
            {"Usb", "Report rate"},        {"Deng", "Lighting"},     {"Light", "Brightness"},
            {"FX", "Direction"},           {"Speed", "Speed"},       {"Color", "Colour"},
            {"JColor", "Base colour"},     {"DC", "Random colours"}, {"Tool", "Tool"},
            {"ToolC", "Eraser"},           {"Auto", "Automatic"},    {"More", "More colours..."},
            {"ModeHint", "Name this mode"}};
    }
    return {{"Usb", QStringLiteral("回报率")},
            {"Deng", QStringLiteral("灯光")},
            {"Light", QStringLiteral("亮度")},
            {"FX", QStringLiteral("方向")},
            {"Speed", QStringLiteral("速度")},
            {"Color", QStringLiteral("颜色")},
            {"JColor", QStringLiteral("底色")},
            {"DC", QStringLiteral("随机颜色")},
            {"Tool", QStringLiteral("工具")},
            {"ToolC", QStringLiteral("橡皮擦")},
            {"Auto", QStringLiteral("自动")},
            {"More", QStringLiteral("更多颜色...")},
            {"ModeHint", QStringLiteral("为此模式命名")}};
}

} // namespace tavrik::skingen
