#pragma once
// The on-screen keyboard of the main window: one image button per panel key
// (PanelKeyList), the nine G keys, the buttons D1..D6 and Fn, each placed from
// its skin entry. A key whose entry is missing, or places it at (1, 1), is
// disabled, so a skin shows only the keys its keyboard has.
//
// A click on a key goes to the lighting editor while its zone painting state
// is on (G7..G9 excepted) and otherwise opens the composite editor for the
// key's row of the active profile (clickKey); D1..D6 then find no key and Fn
// reacts only to zone painting. Each key shows whether it is assigned in the
// active profile and its tooltip tells what it does (refreshDescriptions).
//
// The editor and the zone painting state are reached through two seams,
// CompositeEditorOpener and ZonePainting; where none is installed a click
// opens nothing and painting is off.

#include "app/keyboardpanel/CompositeEditorOpener.h"
#include "app/keyboardpanel/ZonePainting.h"
#include "keyboard/AssignmentTable.h"
#include "keyboard/PanelKeyList.h"
#include "ui/CPngButton.h"

#include <QObject>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QWidget;

namespace tavrik::ui {
class CIniFile;
}

namespace tavrik::app {

struct MainSkinImages;

class KeyboardPanel final : public QObject {
    Q_OBJECT
public:
    // Ids of the buttons captioned D1..D6 and of Fn, which have no assignment.
    static constexpr std::array<int, 6> kDButtonIds = {1016, 1017, 1018, 1019, 1020, 1021};
    static constexpr int kFnButtonId = 1174;
    // Tooltips of the keys show after the pointer rested this long.
    static constexpr int kToolTipDelayMilliseconds = 2000;
    // How strongly a key's colour overlay tints it, in percent.
    static constexpr int kOverlayLevel = 50;

    // Creates the buttons on `window` and places them (placeKeyButtons).
    // Each click goes to `window` as the command of the button's id.
    KeyboardPanel(QWidget& window, const ui::CIniFile& layout, const MainSkinImages& images);

    ui::CPngButton* keyButton(std::size_t position) const { return keys_.at(position); }
    ui::CPngButton* gButton(std::size_t index) const { return gKeys_.at(index); }
    // Any button of the panel by its id; null for an id that is not the panel's.
    ui::CPngButton* button(int controlId) const;

    // The seams; null puts back the one that opens nothing / is never on.
    void setCompositeEditorOpener(CompositeEditorOpener* opener);
    CompositeEditorOpener& compositeEditorOpener() const { return *editor_; }
    void setZonePainting(ZonePainting* painting);
    ZonePainting& zonePainting() const { return *painting_; }

    // The captions of the G keys for a bank (0 = A, 1 = B): "A1".."A6" or
    // "B1".."B6", the last three empty.
    void relabelGKeys(int bank);

    // A click on the panel's button `controlId`: to zone painting while it is
    // on (G7..G9 always go to clickKey), otherwise clickKey; Fn only paints.
    void routeClick(int controlId);
    // Opens the composite editor for the key of `controlId` (a G key, for the
    // slot of the current bank, or a PanelKeyList key), the button shown
    // selected until the editor closes; G9's id sets the macro button flag.
    // An id of no key does nothing. While the keyboard's active profile
    // cannot be read no layer can be edited: the message MAIN_NO_DEVICE_PROMPT
    // says so and no editor opens.
    void clickKey(int controlId);
    // The row a click on `controlId` edits with the bank bit `bank`.
    static std::optional<int> targetRow(int controlId, int bank);

    // The G keys' assigned marks, and their tips, for the current bank of the
    // active profile, read under the working-set lock.
    void markGKeys();
    // Every key's mark and tooltip from the active profile's layer; a layer
    // that cannot be read shows every key unassigned. With `markFirst` the
    // keys are marked before they are described and keysMarked() follows
    // (the Flip state redraws its keys).
    void refreshDescriptions(bool markFirst);
    // The key with this row (a G key of the current bank, or a panel key)
    // shows as if its record were zero; no key has the row: nothing.
    void clearDescription(int row);
    // Zeroes the records of the nine G keys of the current bank and of the
    // 105 panel keys in the active profile's layer (tags included), describes
    // them and enables Apply, under the working-set lock. False, and nothing
    // changed, while the active profile cannot be read.
    bool resetPanelAssignments();
    // Switches off every key's colour overlay and assigned mark (the
    // lighting editor's zone colours).
    void clearKeyOverlays();
    // The buttons that show the lighting (the G keys, the panel keys and
    // Fn), by id.
    static std::vector<int> lightingButtonIds();
    // Draws each of them in the colour (0x00BBGGRR) `colourOf` gives for its
    // id, or without an overlay where it gives none; the marks stay.
    void showKeyColours(const std::function<std::optional<std::uint32_t>(int)>& colourOf);

signals:
    void keysMarked();

private:
    // Takes `button` (a child of `window`) into the panel.
    ui::CPngButton* createButton(QWidget& window, int controlId, bool enabled,
                                 ui::CPngButton* button);
    // A key button with an assignment row: a G key (gIndex 0..8) or a panel
    // key (gIndex -1 and its code).
    struct KeyEntry {
        ui::CPngButton* button;
        int row;
        int gIndex;
        keyboard::KeyCode code;
    };
    // The nine G keys of the current bank, then the panel keys in
    // PanelKeyList order.
    std::vector<KeyEntry> keyEntries() const;
    void describeEntry(const KeyEntry& entry, const keyboard::KeyAssignment& assignment) const;

    std::array<ui::CPngButton*, keyboard::kPanelKeyCount> keys_{};
    std::array<ui::CPngButton*, keyboard::kGButtonCount> gKeys_{};
    ui::CPngButton* fnKey_ = nullptr;
    std::map<int, ui::CPngButton*> byId_;
    ui::ButtonImages normalImages_;
    ui::ButtonImages selectedImages_;
    CompositeEditorOpener* editor_ = &noCompositeEditor();
    ZonePainting* painting_ = &noZonePainting();
};

} // namespace tavrik::app
