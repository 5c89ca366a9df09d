#pragma once
// The assigned mark and the tooltip of one key button from its assignment
// record (keyboard/AssignmentDescription.h has the text): a record of any
// type but Default marks the button and its tip tells what it does; a
// Default record clears the mark and the tip is the key's name alone.

#include "keyboard/AssignmentTable.h"
#include "keyboard/KeyTable.h"

namespace tavrik::ui {
class CPngButton;
}

namespace tavrik::app {

// A keyboard key of the panel. A PlayMacro record is described with its
// macro's name from the working set, read under the working-set lock.
void describeKey(ui::CPngButton& button, keyboard::KeyCode code,
                 const keyboard::KeyAssignment& assignment);
// G button `index` (0..8), headed "G1".."G9".
void describeGKey(ui::CPngButton& button, int index, const keyboard::KeyAssignment& assignment);

} // namespace tavrik::app
