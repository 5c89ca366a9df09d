#pragma once
// Switching the keyboard's active profile from the program (switchProfile),
// with its refusal while the composite editor is open and its question
// whether unapplied changes are to be saved first; and the refresh of the
// key view that follows a switch. Runs on the user-interface thread.
//
// A switch leaves the working set as it was (it holds all three profiles);
// only the layer shown changes. The lighting panel's zone painting uses
// switchProfile too, through CTavrikDlg::switchProfile.

#include <QObject>

namespace tavrik::app {

class KeyboardPanel;
class ProfileButtons;

class ProfileSwitching final : public QObject {
    Q_OBJECT
public:
    // `window` receives the Apply command when changes are to be saved.
    ProfileSwitching(QObject& window, KeyboardPanel& keys, ProfileButtons& profiles);

    // Makes profile `index` active (3 or more counts as 0):
    // - refused, with the message PROFILE_SEELCT_PROMPT2 and nothing changed,
    //   while the composite editor is open;
    // - with changes pending in the main window or the profile manager, the
    //   question PROFILE_SELECT_PROMPT (No preselected) first: Yes applies
    //   them, No disables Apply and restores the working set to what the
    //   keyboard holds, both before the keyboard changes. A switch started
    //   while that question is handled asks nothing;
    // - otherwise an open profile manager checks the new profile's row.
    // Then the keys show the active profile's layer and the current-profile
    // button its name. True unless refused; the keyboard's own answer shows
    // in the caption, which is read afresh.
    bool switchProfile(int index);
    // The key view after a switch: every key marked and described from the
    // active profile's layer, the Flip state re-applied.
    void refreshAfterSwitch(int index);

    // Set while the save question of a switch is handled.
    static bool promptGuard();

    // The save question of a switch, for whatever else is about to drop
    // unapplied changes (the profile manager's Apply, Exit): unless the
    // guard is set, asks PROFILE_SELECT_PROMPT (No preselected); Yes sends
    // `window` the Apply command and waits for it, No disables Apply and
    // restores the working set to what the keyboard holds. Returns the
    // answer (false while the guard is set).
    static bool askToSaveChanges(QObject& window);

    QObject& window_;
    KeyboardPanel& keys_;
    ProfileButtons& profiles_;
};

} // namespace tavrik::app
