#include "sync/DataSets.h"

#include "macro/MacroList.h"
#include "sync/WorkingFileWarning.h"

namespace tavrik::sync {
namespace {

struct DataSets {
    std::recursive_mutex workingSetMutex;
    WorkingSet working{keyboard::defaultTable(), {}, {}};
    std::optional<WorkingSet> keyboardCopy;
    std::recursive_mutex snapshotMutex;
    ApplySnapshot snapshot;
};

// Never destroyed: see the header.
DataSets& dataSets() {
    static DataSets* sets = new DataSets;
    return *sets;
}

} // namespace

DataSetLock lockWorkingSet() {
    return DataSetLock(dataSets().workingSetMutex);
}

DataSetLock lockApplySnapshot() {
    return DataSetLock(dataSets().snapshotMutex);
}

WorkingSet& workingSet() {
    return dataSets().working;
}

ApplySnapshot& applySnapshot() {
    return dataSets().snapshot;
}

std::optional<WorkingSet>& keyboardCopy() {
    return dataSets().keyboardCopy;
}

void releaseApplySnapshot(ApplySnapshot& snapshot) {
    std::vector<std::uint8_t>().swap(snapshot.stringBlob);
    snapshot.stringTotal = 0;
    macro::releaseMacroList(snapshot.macros);
    snapshot.table = keyboard::AssignmentTable();
}

void releaseDataSets() {
    const DataSetLock working = lockWorkingSet();
    const DataSetLock snapshot = lockApplySnapshot();
    releaseWorkingSetContents(workingSet());
    keyboardCopy().reset();
    releaseApplySnapshot(applySnapshot());
}

void resetDataSets() {
    const DataSetLock working = lockWorkingSet();
    const DataSetLock snapshot = lockApplySnapshot();
    releaseWorkingSetContents(workingSet());
    workingSet().table = keyboard::defaultTable();
    keyboardCopy().reset();
    releaseApplySnapshot(applySnapshot());
    resetWorkingFileWarning();
}

std::uint16_t macroIndexOfId(std::uint16_t id) {
    const DataSetLock lock = lockWorkingSet();
    return macro::macroIndexOfId(workingSet().macros, id);
}

std::uint16_t macroIdAtIndex(int index) {
    const DataSetLock lock = lockWorkingSet();
    return macro::macroIdAtIndex(workingSet().macros, index);
}

std::size_t macroCount() {
    const DataSetLock lock = lockWorkingSet();
    return workingSet().macros.size();
}

} // namespace tavrik::sync
