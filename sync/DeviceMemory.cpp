#include "sync/DeviceMemory.h"

#include "device/Commands.h"
#include "device/DeviceState.h"

#include <atomic>
#include <mutex>

namespace tavrik::sync {
namespace {

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

std::uint32_t macroCapacity() {
    return capacity.load();
}

void setMacroCapacity(std::uint32_t bytes) {
    capacity.store(bytes);
}

bool readKeyboardLayoutAndCapacity() {
    keyboard::KeyMapLayer layout{};
    const bool layoutRead = device::readDefaultLayout(layout) == device::result::Success;
    if (layoutRead) {
        setDefaultLayout(layout);
    }
    std::uint8_t info[device::kDeviceInfoSize] = {};
    if (device::readDeviceInfo(info) == device::result::Success) {
        setMacroCapacity(info[device::kDeviceInfoMacroUnits] * device::kMacroMemoryUnit);
    }
    return layoutRead;
}

void resetDeviceMemory() {
    setDefaultLayout(keyboard::BuiltInDefaultLayout);
    setMacroCapacity(0);
}

} // namespace tavrik::sync
