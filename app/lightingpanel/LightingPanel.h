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
// list, the switch and the report rate only. While it is on, the on-screen
// keys show the lighting (KeyLighting.h) and a click on a key paints its
// zone: the panel is the main window's ZonePainting.

#include "app/keyboardpanel/ZonePainting.h"
#include "app/lightingpanel/LightingControls.h"
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

class KeyboardPanel;
class ProfileSwitching;

class LightingPanel final : public QObject, public ZonePainting {
    Q_OBJECT
public:
    // `keys` show the lighting while the editor is on; switching the editor
    // on goes through `switching`.
    LightingPanel(QWidget& window, const ui::CIniFile& layout, const ui::ButtonImages& images,
                  KeyboardPanel& keys, ProfileSwitching& switching);

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
    // Following a switch the keyboard reported, in two halves for a reader
    // off the window's thread: readLightingStateOf touches no widget (the
    // lighting profile becomes `profile` where that is 0..2, and the zone
    // colours are read too); showLightingProfile shows the lighting
    // profile's user modes, then showLightingState what was read.
    void readLightingStateOf(int profile);
    void showLightingProfile();

    // A picture slider moved to `position` (the slider message).
    void sliderMoved(int controlId, int position);
    // Report-rate button `rate` (0..3) was pressed.
    void chooseReportRate(int rate);

    // toggleZonePainting, the switch picture: off, the keys show their
    // assignments again; on, only after the keyboard was switched to its
    // active profile with the save question (a refused switch leaves it
    // off), and the keys show the lighting.
    void toggleZonePainting();

    // ZonePainting.
    bool isPainting() const override { return editor_.state().zonePainting; }
    // paintZone: the zone of the key takes the painting colour (or the base
    // colour, whose keys are marked), on the keys and on the keyboard.
    void paintZone(int controlId) override;
    void leavePainting() override;
    void restoreLightingDefaults() override;

private:
    void setLabels(int languageValue);
    void connectControls();
    void fillEffectList();
    void showGroups();
    void showDirection();
    void showColours();
    void showZonePainting();
    void showUserModes();
    // The lighting on the on-screen keys, while the editor is on.
    void showKeyLighting();

    // Shows the state after a change, which is what the keyboard holds when
    // it refused the change.
    void changed();

    void selectEffect(int listIndex);
    void chooseColour(const QColor& colour);
    void renameUserMode(const QString& name);

    KeyboardPanel& keys_;
    ProfileSwitching& switching_;
    LightingControls controls_;
    lighting::LightingEditor editor_;
    int languageValue_ = 0;
};

} // namespace tavrik::app
