#include "sync/KeyAssignmentEdit.h"

#include "device/Commands.h"
#include "keyboard/StringTable.h"
#include "platform/Ports.h"
#include "sync/DataSets.h"
#include "sync/MacroStore.h"
#include "text/LanguageTexts.h"

namespace tavrik::sync {
namespace {

using keyboard::AssignmentType;
using keyboard::KeyAssignment;

bool isGKeyRow(int row) {
    return row >= keyboard::kFirstGKeyRow &&
           row < keyboard::kFirstGKeyRow + keyboard::kGKeySlotCount;
}

int bankRow(int row, int bank) {
    return row + bank * keyboard::kRowsPerLayer;
}

// The layer of the active profile, when the table has records for it.
std::optional<int> activeLayer() {
    const int active = device::readActiveProfile();
    if (active < 0 || active >= keyboard::kLayerCount) {
        return std::nullopt;
    }
    return active;
}

} // namespace

bool isEditorMode(AssignmentType type) {
    switch (type) {
    case AssignmentType::Default:
    case AssignmentType::SingleKey:
    case AssignmentType::PlayMacro:
    case AssignmentType::Media:
    case AssignmentType::Function:
        return true;
    default:
        return false;
    }
}

KeyAssignment composeAssignment(int row, const EditorChoice& choice, std::uint16_t macroId,
                                const KeyAssignment& previous) {
    KeyAssignment record = previous;
    record.type = choice.mode;
    record.tag = isGKeyRow(row) ? keyboard::gKeyTag(row - keyboard::kFirstGKeyRow) : 0;
    record.value = 0;
    switch (choice.mode) {
    case AssignmentType::SingleKey:
        if (choice.singleKey == 0 || keyboard::keyIndexOf(choice.singleKey) == row) {
            record.type = AssignmentType::Default;
        } else {
            record.value = choice.singleKey;
        }
        break;
    case AssignmentType::PlayMacro:
        if (choice.macroListEmpty) {
            record.type = AssignmentType::Default;
        } else {
            record.value = macroId;
            record.tag = choice.cycles;
        }
        break;
    case AssignmentType::Media:
        record.value = choice.mediaIndex;
        break;
    case AssignmentType::Function:
        record.value = choice.functionIndex;
        break;
    default:
        break;
    }
    return record;
}

macro::MacroList macroCopies() {
    const DataSetLock lock = lockWorkingSet();
    macro::MacroList copies = workingSet().macros;
    for (macro::MacroRecord& copy : copies) {
        copy.setNewFlag(0);
    }
    return copies;
}

std::optional<KeyAssignment> readEditedKey(int row, int bank) {
    const DataSetLock lock = lockWorkingSet();
    const std::optional<int> layer = activeLayer();
    if (!layer) {
        return std::nullopt;
    }
    return workingSet().table.recordOf(*layer, bankRow(row, bank));
}

EditorApplyResult applyEditorChoice(int row, int bank, std::span<const macro::MacroRecord> copies,
                                    const EditorChoice& choice) {
    const std::optional<int> layer = activeLayer();
    if (!layer) {
        platform::prompter().showMessage(text::languageText("APPLY_PROMPT"));
        return EditorApplyResult::NoActiveProfile;
    }
    commitMacroList(copies);
    if (isEditorMode(choice.mode)) {
        const std::uint16_t macroId = macroIdAtIndex(choice.selectedMacro);
        const DataSetLock lock = lockWorkingSet();
        WorkingSet& working = workingSet();
        const int target = bankRow(row, bank);
        if (const std::optional<KeyAssignment> previous = working.table.recordOf(*layer, target)) {
            keyboard::writeAssignment(working.table, working.strings, *layer, target,
                                      composeAssignment(row, choice, macroId, *previous));
        }
    }
    platform::mainWindow().setApplyEnabled(true);
    return EditorApplyResult::Applied;
}

} // namespace tavrik::sync
