#pragma once
// The Flip setting on the main window: Flip1 and Flip2 (FLIP_1, FLIP_2, ids
// 1130 and 1131) toggle it, Flip0 (FLIP_0, id 1129) shows it, lit while it
// is on. Off, the keys F1..F4 (ids 1010..1013) are in use and D1..D6 (ids
// 1016..1021) disabled; on, the reverse. When the pointer enters Flip1 or
// Flip2, the arrow picture beside the D buttons on that side (LEFT_ARROW,
// RIGHT_ARROW) shows up while the setting is on and down while it is off;
// an arrow once shown follows the setting when it changes.
//
// The setting lives in the settings store ("Flip" in "PROFILES").

#include "ui/CPngButton.h"
#include "ui/SkinPlacement.h"

#include <QObject>

class QWidget;

namespace tavrik::ui {
class CIniFile;
}

namespace tavrik::app {

class KeyboardPanel;
struct MainSkinImages;

class FlipButtons final : public QObject {
    Q_OBJECT
public:
    // Flip1 and Flip2 clicks go to `window` as the commands of their ids.
    // `layout` and `keys` outlive the buttons (the window owns all three).
    FlipButtons(QWidget& window, const ui::CIniFile& layout, const MainSkinImages& images,
                KeyboardPanel& keys);

    ui::CPngButton* flipButton(int index) const {
        return flips_.at(static_cast<std::size_t>(index));
    }
    ui::CPngButton* arrow(ui::ArrowSide side) const {
        return side == ui::ArrowSide::Left ? leftArrow_ : rightArrow_;
    }

    // Stores the opposite of the setting and applies it.
    void toggleFlip();
    // Shows the stored setting on the keys, Flip0 and the shown arrows.
    void applyFlipState();

private:
    ui::CPngButton* createFlip(QWidget& window, int controlId, std::u16string_view skinKey);
    ui::CPngButton* createArrow(QWidget& window, ui::ArrowSide side, ui::CPngButton& trigger);
    void showArrow(ui::CPngButton& arrow, ui::ArrowSide side, bool flipOn);

    const ui::CIniFile& layout_;
    KeyboardPanel& keys_;
    ui::ButtonImages offImages_;
    ui::ButtonImages onImages_;
    ui::SkinImage arrowImage_;
    std::array<ui::CPngButton*, 3> flips_{};
    ui::CPngButton* leftArrow_ = nullptr;
    ui::CPngButton* rightArrow_ = nullptr;
};

} // namespace tavrik::app
