#include "app/keyboardpanel/KeyDescriptions.h"

#include "keyboard/AssignmentDescription.h"
#include "macro/MacroList.h"
#include "sync/DataSets.h"
#include "ui/CPngButton.h"

namespace tavrik::app {
namespace {

std::u16string macroNameOf(const keyboard::KeyAssignment& assignment) {
    if (assignment.type != keyboard::AssignmentType::PlayMacro) {
        return {};
    }
    const sync::DataSetLock lock = sync::lockWorkingSet();
    return macro::macroNameOfId(sync::workingSet().macros,
                                static_cast<std::uint16_t>(assignment.value & 0xFFFF));
}

void describe(ui::CPngButton& button, const std::u16string& heading,
              const keyboard::KeyAssignment& assignment) {
    button.setAssigned(keyboard::isAssigned(assignment));
    button.setToolTip(QString::fromStdU16String(
        keyboard::describeAssignment(heading, assignment, macroNameOf(assignment))));
}

} // namespace

void describeKey(ui::CPngButton& button, keyboard::KeyCode code,
                 const keyboard::KeyAssignment& assignment) {
    describe(button, keyboard::keyHeading(code), assignment);
}

void describeGKey(ui::CPngButton& button, int index, const keyboard::KeyAssignment& assignment) {
    describe(button, keyboard::gKeyHeading(index), assignment);
}

} // namespace tavrik::app
