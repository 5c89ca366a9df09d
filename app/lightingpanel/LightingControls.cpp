#include "app/lightingpanel/LightingControls.h"

#include "app/lightingpanel/EffectListBox.h"
#include "app/shared/SkinFont.h"
#include "lighting/LightingEditor.h"
#include "platform/MainWindowPort.h"
#include "ui/SkinImageCache.h"
#include "ui/SkinPlacement.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QWidget>

namespace tavrik::app {
namespace {

constexpr std::u16string_view kReportRateKeys[] = {u"FUNC_REPORT1", u"FUNC_REPORT2",
                                                   u"FUNC_REPORT3", u"FUNC_REPORT4"};
constexpr std::u16string_view kPresetKeys[] = {u"CONTROL_HONGPIC", u"CONTROL_HUANGPIC",
                                               u"CONTROL_LVPIC", u"CONTROL_LANPIC"};
constexpr const char* kPresetBitmaps[] = {"hong", "huang", "lv", "lan"};
// Labels of the panel that some effect shows.
constexpr std::u16string_view kLabelKeys[] = {
    u"CONTROL_UsbStatic",    u"CONTROL_DengStatic",  u"CONTROL_LightStatic", u"CONTROL_SpeedStatic",
    u"CONTROL_HXysStatic",   u"CONTROL_HXsjsStatic", u"CONTROL_FYYSStatic",  u"CONTROL_FYSJSStatic",
    u"CONTROL_USERysStatic", u"CONTROL_USERgjStatic"};
// The user's texts are names of modes; a longer one would not read back
// whole from the colour file.
constexpr int kMaximumModeNameLength = 259;

// The lists and labels sit on the skin's dark panel.
QPalette darkPanelPalette(QPalette palette) {
    const QColor face(0x26, 0x2d, 0x35);
    const QColor text(0xd8, 0xde, 0xe6);
    for (const QPalette::ColorRole role : {QPalette::Button, QPalette::Window}) {
        palette.setColor(role, face);
    }
    palette.setColor(QPalette::Base, QColor(0x1b, 0x1f, 0x24));
    for (const QPalette::ColorRole role :
         {QPalette::ButtonText, QPalette::WindowText, QPalette::Text}) {
        palette.setColor(role, text);
    }
    palette.setColor(QPalette::Highlight, QColor(0x17, 0x5f, 0x74));
    return palette;
}

ui::ColourButton* createColourButton(QWidget& window, const ui::CIniFile& layout,
                                     std::u16string_view key, lighting::Colour automatic) {
    auto* button = new ui::ColourButton(qColourOf(automatic), &window);
    ui::placeControl(*button, layout, key);
    return button;
}

template <typename List = QComboBox>
List* createList(QWidget& window, const ui::CIniFile& layout, std::u16string_view key) {
    auto* list = new List(&window);
    ui::placeControl(*list, layout, key);
    list->setPalette(darkPanelPalette(list->palette()));
    list->view()->setPalette(list->palette());
    return list;
}

} // namespace

QColor qColourOf(lighting::Colour colour) {
    return QColor(lighting::redOf(colour), lighting::greenOf(colour), lighting::blueOf(colour));
}

LightingControls::LightingControls(QWidget& window, const ui::CIniFile& layout,
                                   const ui::ButtonImages& images)
    : layout_(layout) {
    effectList_ = createList<EffectListBox>(window, layout, u"CONTROL_XGcombox");
    for (const std::u16string_view key : kLabelKeys) {
        createLabel(window, key);
    }
    directionLabel_ = createLabel(window, u"CONTROL_BLFXStatic");

    switch_ = createPicture(window, u"CONTROL_DengStaPic");
    switch_->setBitmaps(bitmap("dengup.bmp"), bitmap("dengdown.bmp"));

    brightness_ = new ui::PictureSlider(&window, &window, platform::message::SliderMoved,
                                        lightingid::BrightnessSlider);
    speed_ = new ui::PictureSlider(&window, &window, platform::message::SliderMoved,
                                   lightingid::SpeedSlider);
    std::array<ui::SkinImage, ui::PictureSlider::kPositions> brightnessPictures;
    std::array<ui::SkinImage, ui::PictureSlider::kPositions> speedPictures;
    for (int position = 0; position < ui::PictureSlider::kPositions; ++position) {
        const auto at = static_cast<std::size_t>(position);
        brightnessPictures[at] = bitmap(std::to_string(position).append(".bmp").c_str());
        speedPictures[at] = bitmap(std::to_string(position + 6).append(".bmp").c_str());
    }
    brightness_->setPictures(brightnessPictures);
    speed_->setPictures(speedPictures);
    ui::placeControl(*brightness_, layout, u"CONTROL_LightSlider");
    ui::placeControl(*speed_, layout, u"CONTROL_SpeedSlider");
    remember(u"CONTROL_LightSlider", brightness_);
    remember(u"CONTROL_SpeedSlider", speed_);

    directionLeft_ = createPicture(window, u"CONTROL_BLFXLStaPic");
    directionRight_ = createPicture(window, u"CONTROL_BLFXRStaPic");

    colourButtons_[0] =
        createColourButton(window, layout, u"CONTROL_HXysButton", lighting::kAutomaticColour);
    colourButtons_[1] =
        createColourButton(window, layout, u"CONTROL_FYYSButton", lighting::kAutomaticColour);
    remember(u"CONTROL_HXysButton", colourButtons_[0]);
    remember(u"CONTROL_FYYSButton", colourButtons_[1]);
    randomPictures_[0] = createPicture(window, u"CONTROL_HXsjsStaPic");
    randomPictures_[1] = createPicture(window, u"CONTROL_FYSJSStaPic");
    for (ui::BitmapPicture* random : randomPictures_) {
        random->setBitmaps(bitmap("sjsup.bmp"), bitmap("sjsdown.bmp"));
    }
    for (std::size_t k = 0; k < presets_.size(); ++k) {
        presets_[k] = createPicture(window, kPresetKeys[k]);
        const std::string name = kPresetBitmaps[k];
        presets_[k]->setBitmaps(bitmap((name + ".bmp").c_str()), bitmap((name + "ok.bmp").c_str()));
    }
    for (std::size_t rate = 0; rate < reportRates_.size(); ++rate) {
        reportRates_[rate] = new ui::CPngButton(&window);
        reportRates_[rate]->setCheckable(true);
        ui::placeImageButton(*reportRates_[rate], layout, kReportRateKeys[rate], images);
    }

    paintingColour_ = createColourButton(window, layout, u"CONTROL_USERysButton",
                                         lighting::kAutomaticPaintingColour);
    remember(u"CONTROL_USERysButton", paintingColour_);
    paintingTool_ = createPicture(window, u"CONTROL_USERgjStaPic1");
    paintingTool_->setBitmaps(bitmap("user1up.bmp"), bitmap("user1down.bmp"));
    userModes_ = createList<UserModeList>(window, layout, u"CONTROL_umCombo");
    userModes_->whenEditorMade(
        [](QLineEdit& editor) { editor.setMaxLength(kMaximumModeNameLength); });
    remember(u"CONTROL_umCombo", userModes_);

    // Nothing of an effect shows before the keyboard was read.
    for (const lighting::ControlGroup group : lighting::kControlGroups) {
        showGroup(group, false);
    }
}

QLabel* LightingControls::createLabel(QWidget& window, std::u16string_view key) {
    auto* label = new QLabel(&window);
    ui::placeControl(*label, layout_, key);
    label->setFont(skinFont(QStringLiteral("Tahoma"), 9));
    label->setPalette(darkPanelPalette(label->palette()));
    labels_.emplace(std::u16string(key), label);
    remember(key, label);
    return label;
}

ui::BitmapPicture* LightingControls::createPicture(QWidget& window, std::u16string_view key) {
    auto* picture = new ui::BitmapPicture(&window);
    ui::placeControl(*picture, layout_, key);
    remember(key, picture);
    return picture;
}

void LightingControls::remember(std::u16string_view key, QWidget* control) {
    controls_.emplace(std::u16string(key), control);
}

QWidget* LightingControls::control(std::u16string_view skinKey) const {
    const auto found = controls_.find(skinKey);
    return found == controls_.end() ? nullptr : found->second;
}

ui::ColourButton& LightingControls::colourButton(ColourGroup group) const {
    return *colourButtons_[group == ColourGroup::Plain ? 0 : 1];
}

ui::BitmapPicture& LightingControls::randomPicture(ColourGroup group) const {
    return *randomPictures_[group == ColourGroup::Plain ? 0 : 1];
}

ui::BitmapPicture& LightingControls::preset(int index) const {
    return *presets_.at(static_cast<std::size_t>(index));
}

ui::CPngButton& LightingControls::reportRate(int rate) const {
    return *reportRates_.at(static_cast<std::size_t>(rate));
}

void LightingControls::showGroup(lighting::ControlGroup group, bool shown) const {
    for (const std::u16string_view key : lighting::groupSkinKeys(group)) {
        // The lighting label stands beside the switch and names it, also
        // while the editor is off.
        if (key == kSwitchLabelKey) {
            continue;
        }
        if (QWidget* widget = control(key)) {
            widget->setVisible(shown);
        }
    }
}

void LightingControls::placeDirectionGroup(int effect) const {
    using lighting::DirectionControl;
    ui::moveControl(*directionLabel_, layout_,
                    lighting::directionSkinKey(DirectionControl::Label, effect));
    ui::moveControl(*directionLeft_, layout_,
                    lighting::directionSkinKey(DirectionControl::Left, effect));
    ui::moveControl(*directionRight_, layout_,
                    lighting::directionSkinKey(DirectionControl::Right, effect));
}

ui::SkinImage LightingControls::bitmap(const char* name) const {
    return ui::skinImage(layout_.folder() + name);
}

} // namespace tavrik::app
