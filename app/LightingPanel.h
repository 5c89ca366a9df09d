#pragma once
// The lighting panel of the main window: it shows the lighting of one
// profile of the keyboard (the lighting profile index, which the profile
// buttons and the keyboard's profile switch set) and writes every change at
// once. The keyboard keeps the lighting; the panel reads it again on every
// profile change, on the keyboard's lighting-changed event and after a write
// the keyboard refused.
//
// The effect's controls show while the lighting editor is switched on (the
// zone painting state of zovu.ini); switched off, the panel shows the effect
// list, the switch and the report rate only.
//
// Not yet here: switching the editor on and off (the switch picture), the
// zone colours and the chosen colour drawn on the on-screen keys, painting a
// zone by a click on a key, and restoring the lighting with the main
// window's restore-defaults command. They need the profile switch and the
// key buttons' colour overlay of the on-screen keyboard.

#include "app/LightingControls.h"
#include "lighting/LightingEditor.h"

#include <QObject>
#include <memory>

class QColor;
class QComboBox;
class QWidget;

namespace tavrik::ui {
class CIniFile;
}

namespace tavrik::app {

class LightingPanel final : public QObject {
    Q_OBJECT
public:
    LightingPanel(QWidget& window, const ui::CIniFile& layout, const ui::ButtonImages& images);

    QComboBox* effectList() const { return &controls_.effectList(); }
    ui::CPngButton* reportRateButton(int rate) const { return &controls_.reportRate(rate); }
    const LightingControls& controls() const { return controls_; }
    const lighting::LightingState& state() const { return editor_.state(); }

    // 0..2: the profile whose lighting the panel shows.
    int lightingProfile() const { return editor_.state().profile; }
    void setLightingProfile(int profile);

    // readLightingState and showLightingState: the lighting of the lighting
    // profile, with the zone colours after a profile switch reported by the
    // keyboard.
    void reloadFromKeyboard(bool withZones = false);
    void readLightingState(bool withZones);
    void showLightingState();

    // A picture slider moved to `position` (the slider message).
    void sliderMoved(int controlId, int position);
    // Report-rate button `rate` (0..3) was pressed.
    void chooseReportRate(int rate);

private:
    void setLabels(int languageValue);
    void connectControls();
    void fillEffectList();
    void showGroups();
    void showDirection();
    void showColours();
    void showZonePainting();
    void showUserModes();

    // Shows the state after a change, which is what the keyboard holds when
    // it refused the change.
    void changed();

    void selectEffect(int listIndex);
    void chooseColour(const QColor& colour);
    void renameUserMode(const QString& name);

    LightingControls controls_;
    lighting::LightingEditor editor_;
    int languageValue_ = 0;
};

} // namespace tavrik::app
