#pragma once
// The on-screen keyboard of the main window: one image button per panel key
// (PanelKeyList), the nine G keys, the buttons D1..D6 and Fn, each placed from
// its skin entry. A key whose entry is missing, or places it at (1, 1), is
// disabled, so a skin shows only the keys its keyboard has.
//
// What a click on a key does, the assigned marks and tips of the keys, and
// the Flip buttons' effect come with the on-screen keyboard and profile
// switching work; until then those operations leave the keys as they are.

#include "keyboard/PanelKeyList.h"
#include "ui/CPngButton.h"

#include <QObject>
#include <array>
#include <map>

class QWidget;

namespace tavrik::ui {
class CIniFile;
}

namespace tavrik::app {

class KeyboardPanel final : public QObject {
    Q_OBJECT
public:
    // Ids of the buttons captioned D1..D6 and of Fn, which have no assignment.
    static constexpr std::array<int, 6> kDButtonIds = {1016, 1017, 1018, 1019, 1020, 1021};
    static constexpr int kFnButtonId = 1174;

    // Creates the buttons on `window` and places them (placeKeyButtons).
    // Each click goes to `window` as the command of the button's id.
    KeyboardPanel(QWidget& window, const ui::CIniFile& layout, const ui::ButtonImages& images);

    ui::CPngButton* keyButton(std::size_t position) const { return keys_.at(position); }
    ui::CPngButton* gButton(std::size_t index) const { return gKeys_.at(index); }
    // Any button of the panel by its id; null for an id that is not the panel's.
    ui::CPngButton* button(int controlId) const;

    // The captions of the G keys for a bank (0 = A, 1 = B): "A1".."A6" or
    // "B1".."B6", the last three empty.
    void relabelGKeys(int bank);

    // The G keys' assigned marks for the current bank.
    void markGKeys();
    // The texts and marks of every key from the working set.
    void refreshKeyButtons();
    // A click on a key button (or the macro button, as G9).
    void clickKey(int controlId);
    // The Flip buttons.
    void toggleFlip();
    // The restore-defaults button.
    void restoreDefaults();

private:
    // Takes `button` (a child of `window`) into the panel.
    ui::CPngButton* createButton(QWidget& window, int controlId, bool enabled,
                                 ui::CPngButton* button);

    std::array<ui::CPngButton*, keyboard::kPanelKeyCount> keys_{};
    std::array<ui::CPngButton*, keyboard::kGButtonCount> gKeys_{};
    std::map<int, ui::CPngButton*> byId_;
};

} // namespace tavrik::app
