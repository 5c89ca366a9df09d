#include "device/LinkShutdown.h"

#include "device/ServiceBinding.h"
#include "device/WorkerThreads.h"

namespace tavrik::device {

void shutDownDeviceLink() {
    if (isServiceBound()) {
        service().End();
    }
    joinAllWorkers();
}

} // namespace tavrik::device
