#include "app/lightingpanel/LightingPanel.h"

#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/profiles/ProfileSwitching.h"
#include "device/Commands.h"
#include "lighting/KeyLighting.h"
#include "lighting/SkinTexts.h"
#include "lighting/Zones.h"
#include "platform/PathSet.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"

#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QWidget>

namespace tavrik::app {
namespace {

using lighting::Change;
using lighting::ControlGroup;

lighting::Colour colourOf(const QColor& colour) {
    return lighting::rgb(static_cast<std::uint8_t>(colour.red()),
                         static_cast<std::uint8_t>(colour.green()),
                         static_cast<std::uint8_t>(colour.blue()));
}

QString qText(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

lighting::LightingEditor::Files lightingFiles() {
    return {platform::pathSet().userSettingsFile, platform::pathSet().lightingFilePrefix};
}

} // namespace

LightingPanel::LightingPanel(QWidget& window, const ui::CIniFile& layout,
                             const ui::ButtonImages& images, KeyboardPanel& keys,
                             ProfileSwitching& switching)
    : QObject(&window), keys_(keys), switching_(switching), controls_(window, layout, images),
      editor_(lightingFiles()),
      languageValue_(text::languageValue(platform::pathSet().languageFile)) {
    setLabels(languageValue_);
    connectControls();
    showZonePainting();
}

void LightingPanel::setLabels(int languageValue) {
    const platform::IniSnapshot skin =
        platform::IniFile(platform::pathSet().mainSkinFile).snapshot();
    if (const auto section = lighting::labelSection(languageValue)) {
        for (const lighting::PanelLabel& label : lighting::panelLabels()) {
            const QString text = qText(skin.readString(*section, label.key, u""));
            for (const std::u16string_view key : label.controls) {
                const auto found = controls_.labels().find(key);
                if (found != controls_.labels().end()) {
                    found->second->setText(text);
                }
            }
        }
    }
    const QString automatic =
        qText(lighting::ownPanelText(skin, languageValue, lighting::kAutomaticColourKey));
    const QString more =
        qText(lighting::ownPanelText(skin, languageValue, lighting::kMoreColoursKey));
    controls_.userModes().whenEditorMade(
        [hint = qText(lighting::ownPanelText(skin, languageValue, lighting::kUserModeHintKey))](
            QLineEdit& editor) { editor.setPlaceholderText(hint); });
    // What the switch does is not seen before it is on. As a paragraph the
    // tip is wrapped, not one line across the screen.
    const QString tip =
        QStringLiteral("<p>%1</p>")
            .arg(QString::fromStdU16String(text::languageText("LIGHTING_SWITCH_TIP"))
                     .toHtmlEscaped());
    controls_.lightingSwitch().setToolTip(tip);
    if (const auto label = controls_.labels().find(kSwitchLabelKey);
        label != controls_.labels().end()) {
        label->second->setToolTip(tip);
    }
    for (ui::ColourButton* button :
         {&controls_.colourButton(ColourGroup::Plain),
          &controls_.colourButton(ColourGroup::Reaction), &controls_.paintingColour()}) {
        button->setMenuTexts(automatic, more);
    }
}

void LightingPanel::connectControls() {
    connect(&controls_.effectList(), &QComboBox::activated, this, &LightingPanel::selectEffect);
    connect(&controls_.lightingSwitch(), &QAbstractButton::clicked, this,
            &LightingPanel::toggleZonePainting);
    connect(&controls_.directionLeft(), &QAbstractButton::clicked, this, [this] {
        editor_.chooseDirection(1);
        changed();
    });
    connect(&controls_.directionRight(), &QAbstractButton::clicked, this, [this] {
        editor_.chooseDirection(0);
        changed();
    });
    for (const ColourGroup group : {ColourGroup::Plain, ColourGroup::Reaction}) {
        connect(&controls_.colourButton(group), &ui::ColourButton::colourChosen, this,
                &LightingPanel::chooseColour);
        connect(&controls_.randomPicture(group), &QAbstractButton::clicked, this, [this] {
            editor_.toggleRandom();
            changed();
        });
    }
    for (int k = 0; k < lighting::kPresetCount; ++k) {
        connect(&controls_.preset(k), &QAbstractButton::clicked, this, [this, k] {
            editor_.choosePreset(k);
            changed();
        });
    }
    for (int rate = 0; rate <= lighting::kReportRateMaximum; ++rate) {
        connect(&controls_.reportRate(rate), &QAbstractButton::clicked, this,
                [this, rate] { chooseReportRate(rate); });
    }
    connect(&controls_.paintingColour(), &ui::ColourButton::colourChosen, this,
            [this](const QColor& colour) {
                editor_.choosePaintingColour(colourOf(colour));
                showZonePainting();
            });
    connect(&controls_.paintingTool(), &QAbstractButton::clicked, this, [this] {
        editor_.choosePaintingTool();
        showZonePainting();
    });
    controls_.userModes().whenEditorMade([this](QLineEdit& editor) {
        connect(&editor, &QLineEdit::textEdited, this, &LightingPanel::renameUserMode);
    });
    connect(&controls_.userModes(), &QComboBox::activated, this, [this](int index) {
        editor_.chooseUserMode(index);
        showZonePainting();
    });
}

void LightingPanel::setLightingProfile(int profile) {
    editor_.setProfile(profile);
    showUserModes();
}

void LightingPanel::readLightingStateOf(int profile) {
    if (profile >= 0 && profile < 3) {
        editor_.setProfile(profile);
    }
    readLightingState(true);
}

void LightingPanel::showLightingProfile() {
    showUserModes();
}

void LightingPanel::reloadFromKeyboard(bool withZones) {
    readLightingState(withZones);
    showLightingState();
}

void LightingPanel::readLightingState(bool withZones) {
    editor_.readLightingState(withZones);
}

void LightingPanel::showLightingState() {
    const lighting::LightingState& state = editor_.state();
    fillEffectList();
    controls_.brightness().setPosition(state.brightnessPosition());
    controls_.speed().setPosition(state.speedPosition());
    showColours();
    for (int k = 0; k < lighting::kPresetCount; ++k) {
        controls_.preset(k).setSelected(k == state.record.preset);
    }
    for (int rate = 0; rate <= lighting::kReportRateMaximum; ++rate) {
        controls_.reportRate(rate).setChecked(rate == state.record.reportRate);
    }
    showDirection();
    showZonePainting();
    showGroups();
    showKeyLighting();
}

void LightingPanel::fillEffectList() {
    const lighting::LightingState& state = editor_.state();
    QComboBox& list = controls_.effectList();
    const QSignalBlocker quiet(list);
    list.clear();
    const platform::IniSnapshot skin =
        platform::IniFile(platform::pathSet().mainSkinFile).snapshot();
    for (const int effect : state.effects.effects()) {
        list.addItem(qText(lighting::effectName(skin, languageValue_, effect)));
    }
    list.setCurrentIndex(state.effects.indexOf(state.record.effect));
}

void LightingPanel::showGroups() {
    const lighting::LightingState& state = editor_.state();
    for (const ControlGroup group : lighting::kControlGroups) {
        controls_.showGroup(group,
                            state.zonePainting && lighting::groupShows(group, state.record.effect));
    }
}

void LightingPanel::showDirection() {
    const int effect = editor_.state().record.effect;
    const auto pictures = lighting::directionPicturesOf(effect);
    const char* names[2][2] = {{"leftup.bmp", "leftdown.bmp"}, {"rightup.bmp", "rightdown.bmp"}};
    if (pictures == lighting::DirectionPictures::UpDown) {
        names[0][0] = "upup.bmp";
        names[0][1] = "updown.bmp";
        names[1][0] = "downup.bmp";
        names[1][1] = "downdown.bmp";
    } else if (pictures == lighting::DirectionPictures::SpreadGather) {
        names[0][0] = "kuosan.bmp";
        names[0][1] = "kuosandown.bmp";
        names[1][0] = "julong.bmp";
        names[1][1] = "julongdown.bmp";
    }
    ui::BitmapPicture& left = controls_.directionLeft();
    ui::BitmapPicture& right = controls_.directionRight();
    left.setBitmaps(controls_.bitmap(names[0][0]), controls_.bitmap(names[0][1]));
    right.setBitmaps(controls_.bitmap(names[1][0]), controls_.bitmap(names[1][1]));
    left.setSelected(editor_.state().record.direction == 1);
    right.setSelected(editor_.state().record.direction != 1);
    controls_.placeDirectionGroup(effect);
}

void LightingPanel::showColours() {
    const lighting::LightingRecord& record = editor_.state().record;
    for (const ColourGroup group : {ColourGroup::Plain, ColourGroup::Reaction}) {
        controls_.colourButton(group).setColour(qColourOf(record.colour));
        controls_.randomPicture(group).setSelected(record.random);
    }
}

void LightingPanel::showZonePainting() {
    const lighting::LightingState& state = editor_.state();
    controls_.lightingSwitch().setSelected(state.zonePainting);
    controls_.paintingColour().setColour(qColourOf(state.painting.paintingColour));
    controls_.paintingTool().setSelected(state.painting.tool ==
                                         lighting::PaintingTool::PaintingColour);
    showUserModes();
}

void LightingPanel::showUserModes() {
    const lighting::LightingState& state = editor_.state();
    UserModeList& list = controls_.userModes();
    const QSignalBlocker quiet(list);
    QStringList names;
    for (const std::u16string& name : state.userModeNames) {
        names << qText(name);
    }
    QStringList shown;
    for (int i = 0; i < list.count(); ++i) {
        shown << list.itemText(i);
    }
    if (shown != names) {
        // Other names are another profile's modes, or its file changed: the
        // box shows the current mode's name, or nothing (its hint) for a
        // profile without modes, never what the previous profile showed.
        list.clear();
        list.addItems(names);
        const auto at = static_cast<qsizetype>(state.userMode);
        list.setTypedText(at >= 0 && at < names.size() ? names[at] : QString());
    }
    if (state.userMode < list.count() && list.currentIndex() != state.userMode) {
        list.selectEntry(state.userMode);
    }
}

void LightingPanel::showKeyLighting() {
    if (!isPainting()) {
        return;
    }
    const lighting::LightingState& state = editor_.state();
    keys_.showKeyColours([&state](int id) { return lighting::keyColourOf(state, id); });
}

void LightingPanel::changed() {
    showLightingState();
}

void LightingPanel::selectEffect(int listIndex) {
    if (editor_.state().effects.effectAt(listIndex) == editor_.state().record.effect) {
        return;
    }
    // The keys then show the new effect from a clean slate: no colour, no
    // painted mark. While the editor is off they keep their assignments'
    // marks, which clicks then edit.
    if (isPainting()) {
        keys_.clearKeyOverlays();
    }
    editor_.selectEffect(listIndex);
    changed();
}

void LightingPanel::toggleZonePainting() {
    if (isPainting()) {
        leavePainting();
        return;
    }
    if (!switching_.switchProfile(device::readActiveProfile())) {
        return;
    }
    editor_.setZonePainting(true);
    keys_.clearKeyOverlays();
    // The keys' tips now say that a click paints.
    keys_.refreshDescriptions(false);
    showZonePainting();
    showGroups();
    showKeyLighting();
}

void LightingPanel::leavePainting() {
    editor_.setZonePainting(false);
    showZonePainting();
    showGroups();
    keys_.clearKeyOverlays();
    keys_.refreshDescriptions(true);
}

void LightingPanel::paintZone(int controlId) {
    switch (editor_.paintZone(controlId)) {
    case Change::Unchanged:
        return;
    case Change::Refused:
        changed();
        return;
    case Change::Written:
        break;
    }
    const bool baseColour = editor_.state().painting.tool == lighting::PaintingTool::BaseColour;
    for (const int id : lighting::buttonsOfZone(lighting::zoneOfButton(controlId))) {
        keys_.button(id)->setAssigned(baseColour);
    }
    showKeyLighting();
}

void LightingPanel::restoreLightingDefaults() {
    if (isPainting()) {
        keys_.clearKeyOverlays();
    }
    editor_.restoreDefaults();
    changed();
}

void LightingPanel::sliderMoved(int controlId, int position) {
    const bool brightness = controlId == lightingid::BrightnessSlider;
    if (!brightness && controlId != lightingid::SpeedSlider) {
        return;
    }
    (brightness ? controls_.brightness() : controls_.speed()).setPosition(position);
    if (editor_.moveSlider(brightness ? lighting::Slider::Brightness : lighting::Slider::Speed,
                           position) == Change::Refused) {
        changed();
    }
}

void LightingPanel::chooseReportRate(int rate) {
    editor_.chooseReportRate(rate);
    changed();
}

void LightingPanel::chooseColour(const QColor& colour) {
    editor_.chooseColour(colourOf(colour));
    changed();
}

void LightingPanel::renameUserMode(const QString& name) {
    editor_.renameUserMode(name.toStdU16String());
    UserModeList& list = controls_.userModes();
    const QSignalBlocker quiet(list);
    const int at = editor_.state().userMode;
    const int cursor = list.editor().cursorPosition();
    if (at < list.count()) {
        list.setItemText(at, name);
    } else {
        list.insertItem(at, name);
    }
    list.setCurrentIndex(at);
    list.editor().setText(name);
    list.editor().setCursorPosition(cursor);
}

} // namespace tavrik::app
