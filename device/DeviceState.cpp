#include "device/DeviceState.h"

#include "device/Commands.h"

#include <atomic>
#include <mutex>

namespace tavrik::device {
namespace {

std::atomic<int> deviceCount{0};
std::atomic<int> reportedCount{0};
std::atomic<std::uint32_t> capacity{0};

struct LayoutStore {
    std::mutex mutex;
    keyboard::KeyMapLayer layout = keyboard::BuiltInDefaultLayout;
};

// Never destroyed, like the data sets: workers may still read it at exit.
LayoutStore& layoutStore() {
    static LayoutStore* store = new LayoutStore;
    return *store;
}

} // namespace

int storedDeviceCount() {
    return deviceCount.load();
}

void setStoredDeviceCount(int count) {
    deviceCount.store(count);
}

keyboard::KeyMapLayer defaultLayout() {
    LayoutStore& store = layoutStore();
    std::lock_guard lock(store.mutex);
    return store.layout;
}

void setDefaultLayout(const keyboard::KeyMapLayer& layout) {
    LayoutStore& store = layoutStore();
    std::lock_guard lock(store.mutex);
    store.layout = layout;
}

int reportedDeviceCount() {
    return reportedCount.load();
}

void noteReportedDeviceCount(int count) {
    reportedCount.store(count);
}

std::uint32_t macroCapacity() {
    return capacity.load();
}

void setMacroCapacity(std::uint32_t bytes) {
    capacity.store(bytes);
}

bool readKeyboardLayoutAndCapacity() {
    keyboard::KeyMapLayer layout{};
    const bool layoutRead = readDefaultLayout(layout) == result::Success;
    if (layoutRead) {
        setDefaultLayout(layout);
    }
    std::uint8_t info[kDeviceInfoSize] = {};
    if (readDeviceInfo(info) == result::Success) {
        setMacroCapacity(info[kDeviceInfoMacroUnits] * kMacroMemoryUnit);
    }
    return layoutRead;
}

void resetDeviceState() {
    setStoredDeviceCount(0);
    noteReportedDeviceCount(0);
    setDefaultLayout(keyboard::BuiltInDefaultLayout);
    setMacroCapacity(0);
}

} // namespace tavrik::device
