#include "sync/Apply.h"

#include "device/Clock.h"
#include "keyboard/ProfileFileHeader.h"
#include "keyboard/StringPool.h"
#include "platform/Ports.h"
#include "sync/BusyIndicatorWorker.h"
#include "sync/DataSets.h"
#include "sync/KeyMapWriter.h"
#include "sync/WorkingFile.h"

#include <chrono>
#include <new>

namespace tavrik::sync {
namespace {

using namespace std::chrono_literals;

// Gives the busy-indicator worker time to start before the first message.
constexpr auto kBusyIndicatorStart = 100ms;

void copyIntoSnapshot(const WorkingSet& working, ApplySnapshot& snapshot) {
    snapshot.table = working.table;
    keyboard::fillProfileFileHeader(
        snapshot.table.header().first<keyboard::kProfileFileHeaderSize>(),
        static_cast<std::uint16_t>(working.macros.size()), working.strings.total(), 0);
    snapshot.macros = working.macros;
    snapshot.stringBlob.assign(working.strings.total(), 0);
    keyboard::packStringPool(snapshot.table, working.strings, snapshot.stringBlob);
    snapshot.stringTotal = working.strings.total();
}

} // namespace

int buildApplySnapshot(bool allProfiles) {
    const DataSetLock workingLock = lockWorkingSet();
    const DataSetLock snapshotLock = lockApplySnapshot();
    ApplySnapshot& snapshot = applySnapshot();
    releaseApplySnapshot(snapshot);
    try {
        copyIntoSnapshot(workingSet(), snapshot);
    } catch (const std::bad_alloc&) {
        releaseApplySnapshot(snapshot);
        return 0;
    }
    return sync::encodeKeyMap(allProfiles);
}

bool applyChanges() {
    const std::shared_ptr<BusyIndicatorQueue> busy = startBusyIndicatorWorker();
    device::deviceClock().sleepFor(kBusyIndicatorStart);
    if (busy) {
        busy->post(busymessage::Start);
    }
    platform::MainWindowPort& window = platform::mainWindow();
    bool applied = true;
    if (window.isApplyEnabled()) {
        DataSetLock lock = lockWorkingSet();
        const bool saved = sync::saveWorkingFile(false);
        const bool written = buildApplySnapshot(false) == 1;
        lock.unlock();
        applied = saved && written;
        if (applied) {
            window.setApplyEnabled(false);
        }
    }
    if (busy) {
        busy->post(busymessage::Stop);
    }
    return applied;
}

} // namespace tavrik::sync
