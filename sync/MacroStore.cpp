#include "sync/MacroStore.h"

#include "device/Commands.h"
#include "keyboard/AssignmentTable.h"
#include "platform/Ports.h"
#include "sync/DataSets.h"
#include "text/LanguageTexts.h"

#include <new>
#include <optional>

namespace tavrik::sync {
namespace {

using keyboard::AssignmentType;
using keyboard::KeyAssignment;

// The record of the active profile's layer that the search passes over.
constexpr int kSkippedRow = 256;
constexpr int kKeyboardProfiles = 3;

std::uint16_t macroIdOf(const KeyAssignment& assignment) {
    return static_cast<std::uint16_t>(assignment.value);
}

bool isUsedByAKey(std::uint16_t id) {
    const int active = device::readActiveProfile();
    const bool activeKnown = active >= 0 && active < kKeyboardProfiles;
    const int firstLayer = activeKnown ? active : 0;

    const sync::DataSetLock lock = sync::lockWorkingSet();
    const keyboard::AssignmentTable& table = sync::workingSet().table;
    for (int layer = firstLayer; layer < keyboard::kLayerCount; ++layer) {
        for (int row = 0; row < keyboard::kRowsPerLayer; ++row) {
            if (activeKnown && layer == active && row == kSkippedRow) {
                continue;
            }
            const std::optional<KeyAssignment> record = table.recordOf(layer, row);
            if (record && record->type == AssignmentType::PlayMacro && macroIdOf(*record) == id) {
                return true;
            }
        }
    }
    return false;
}

const macro::MacroRecord* firstWithId(std::span<const macro::MacroRecord> records,
                                      std::uint16_t id) {
    for (const macro::MacroRecord& record : records) {
        if (record.id() == id) {
            return &record;
        }
    }
    return nullptr;
}

// The record after the commit; none when it stays as it is.
std::optional<KeyAssignment> repaired(KeyAssignment assignment,
                                      std::span<const macro::MacroRecord> records) {
    if (assignment.type != AssignmentType::PlayMacro) {
        return std::nullopt;
    }
    const std::uint16_t id = macroIdOf(assignment);
    if (id == 0) {
        if (records.empty()) {
            return std::nullopt;
        }
        assignment.value = records.front().id();
        return assignment;
    }
    const macro::MacroRecord* macro = firstWithId(records, id);
    if (macro != nullptr && macro->newFlag() == 0) {
        return std::nullopt;
    }
    assignment.type = AssignmentType::Default;
    return assignment;
}

void repairAssignments(keyboard::AssignmentTable& table,
                       std::span<const macro::MacroRecord> records) {
    bool changed = false;
    for (int layer = 0; layer < keyboard::kLayerCount; ++layer) {
        for (int row = 0; row < keyboard::kRowsPerLayer; ++row) {
            const std::optional<KeyAssignment> record = table.recordOf(layer, row);
            if (!record) {
                continue;
            }
            if (const std::optional<KeyAssignment> fixed = repaired(*record, records)) {
                table.storeRecord(layer, row, *fixed);
                changed = true;
            }
        }
    }
    if (changed) {
        platform::mainWindow().setApplyEnabled(true);
    }
}

} // namespace

bool confirmMacroDeletion(const macro::MacroRecord& record) {
    if (record.newFlag() == 1) {
        return true;
    }
    if (!isUsedByAKey(record.id())) {
        return true;
    }
    return platform::prompter().askYesNo(text::languageText("MACRO_DELETE_CONFIRM_OF_KEYS"), false);
}

bool commitMacroList(std::span<const macro::MacroRecord> records) {
    if (records.size() > macro::kMaxMacros) {
        return false;
    }
    macro::MacroList list;
    try {
        list.assign(records.begin(), records.end());
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (macro::MacroRecord& record : list) {
        record.setNewFlag(0);
    }
    const sync::DataSetLock lock = sync::lockWorkingSet();
    sync::WorkingSet& working = sync::workingSet();
    repairAssignments(working.table, records);
    working.macros.swap(list);
    return true;
}

} // namespace tavrik::sync
