#pragma once
// The controls of the lighting panel, created on the main window and placed
// from Main.ini: the effect list, the lighting switch, the labels, the
// brightness and speed sliders with their pictures, the direction pictures,
// the colour buttons and random-colour pictures, the preset colours, the
// report-rate buttons and the zone painting controls. What they do is the
// panel's (LightingPanel.h).

#include "app/lightingpanel/UserModeList.h"
#include "lighting/Colour.h"
#include "lighting/EffectControls.h"
#include "ui/BitmapPicture.h"
#include "ui/CIniFile.h"
#include "ui/CPngButton.h"
#include "ui/ColourButton.h"
#include "ui/PictureSlider.h"

#include <QColor>
#include <QComboBox>
#include <QLabel>
#include <array>
#include <map>
#include <string>

namespace tavrik::app {

namespace lightingid {
inline constexpr int EffectList = 1146;
inline constexpr int ReportRate1 = 1147;
inline constexpr int DirectionLeft = 1149;
inline constexpr int DirectionRight = 1150;
inline constexpr int ReactionColour = 1152;
inline constexpr int Colour = 1155;
inline constexpr int RandomColour = 1156;
inline constexpr int PaintingColour = 1160;
inline constexpr int PaintingTool = 1164;
inline constexpr int Switch = 1167;
inline constexpr int ReactionRandomColour = 1175;
inline constexpr int BrightnessSlider = 1178;
inline constexpr int SpeedSlider = 1179;
inline constexpr int PresetRed = 1194; // then yellow, green, blue
inline constexpr int UserModeList = 1198;
} // namespace lightingid

// A lighting colour as the toolkit's colour.
QColor qColourOf(lighting::Colour colour);

// The label that names the lighting switch; it belongs to the brightness
// group but shows also while the editor is off.
inline constexpr std::u16string_view kSwitchLabelKey = u"CONTROL_DengStatic";

// The two colour buttons of the effects and the two random-colour pictures
// beside them: the plain colour group and the reaction group (effect 16).
enum class ColourGroup { Plain, Reaction };

class LightingControls {
public:
    // Creates every control on `window`, placed from `layout`; the sliders
    // report to `window`. `images` are the window's button images (the
    // report-rate buttons).
    LightingControls(QWidget& window, const ui::CIniFile& layout, const ui::ButtonImages& images);

    QComboBox& effectList() const { return *effectList_; }
    ui::BitmapPicture& lightingSwitch() const { return *switch_; }
    ui::PictureSlider& brightness() const { return *brightness_; }
    ui::PictureSlider& speed() const { return *speed_; }
    QLabel& directionLabel() const { return *directionLabel_; }
    ui::BitmapPicture& directionLeft() const { return *directionLeft_; }
    ui::BitmapPicture& directionRight() const { return *directionRight_; }
    ui::ColourButton& colourButton(ColourGroup group) const;
    ui::BitmapPicture& randomPicture(ColourGroup group) const;
    ui::BitmapPicture& preset(int index) const;
    ui::CPngButton& reportRate(int rate) const;
    ui::ColourButton& paintingColour() const { return *paintingColour_; }
    ui::BitmapPicture& paintingTool() const { return *paintingTool_; }
    UserModeList& userModes() const { return *userModes_; }

    // A control by its skin key; null for a key the panel has no control for.
    QWidget* control(std::u16string_view skinKey) const;
    // The labels by skin key.
    const std::map<std::u16string, QLabel*, std::less<>>& labels() const { return labels_; }

    // Shows each control of a group when `shown` is true, hides it otherwise.
    void showGroup(lighting::ControlGroup group, bool shown) const;
    // Moves the direction group to its place for `effect`.
    void placeDirectionGroup(int effect) const;

    // A bitmap of the skin folder; empty when the file is missing.
    ui::SkinImage bitmap(const char* name) const;

private:
    QLabel* createLabel(QWidget& window, std::u16string_view key);
    ui::BitmapPicture* createPicture(QWidget& window, std::u16string_view key);
    void remember(std::u16string_view key, QWidget* control);

    ui::CIniFile layout_;
    std::map<std::u16string, QWidget*, std::less<>> controls_;
    std::map<std::u16string, QLabel*, std::less<>> labels_;
    QComboBox* effectList_ = nullptr;
    ui::BitmapPicture* switch_ = nullptr;
    ui::PictureSlider* brightness_ = nullptr;
    ui::PictureSlider* speed_ = nullptr;
    QLabel* directionLabel_ = nullptr;
    ui::BitmapPicture* directionLeft_ = nullptr;
    ui::BitmapPicture* directionRight_ = nullptr;
    std::array<ui::ColourButton*, 2> colourButtons_{};
    std::array<ui::BitmapPicture*, 2> randomPictures_{};
    std::array<ui::BitmapPicture*, 4> presets_{};
    std::array<ui::CPngButton*, 4> reportRates_{};
    ui::ColourButton* paintingColour_ = nullptr;
    ui::BitmapPicture* paintingTool_ = nullptr;
    UserModeList* userModes_ = nullptr;
};

} // namespace tavrik::app
