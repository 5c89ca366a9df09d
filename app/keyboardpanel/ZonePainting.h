#pragma once
// What the on-screen keyboard and the main window ask of the lighting
// editor's zone painting state: while it is on, a click on a key paints the
// key's zone instead of opening the composite editor, the profile buttons
// leave the state first, and Restore defaults restores the lighting too.
//
// The main window installs its lighting panel (LightingPanel.h) as the
// keyboard panel's zone painting; a keyboard panel without one uses
// noZonePainting(), whose state is always off.

namespace tavrik::app {

class ZonePainting {
public:
    virtual ~ZonePainting() = default;

    // The zone painting state ("DengCheck" of the lighting settings).
    virtual bool isPainting() const = 0;
    // A click on the key button with this control id while the state is on.
    virtual void paintZone(int controlId) = 0;
    // Switches the state off (a profile button was pressed while it was on).
    virtual void leavePainting() = 0;
    // Restore defaults while the state is on: the lighting's defaults, after
    // the key assignments were restored and before Apply.
    virtual void restoreLightingDefaults() = 0;
};

// The state of a program without zone painting: always off.
ZonePainting& noZonePainting();

} // namespace tavrik::app
