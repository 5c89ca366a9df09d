#include "platform/NamedEvents.h"

#include <cstdio>
#include <fcntl.h>

namespace tavrik::platform {
namespace {

constexpr const char* kEventPrefix = "Tavrik_Event_";

} // namespace

std::string namedEventName(int number) {
    char name[64];
    std::snprintf(name, sizeof name, "%sMain_%02d", kEventPrefix, number);
    return name;
}

NamedEvents::~NamedEvents() {
    close();
}

int NamedEvents::create() {
    close();
    events_.reserve(kNamedEventCount);
    for (int number = 1; number <= kNamedEventCount; ++number) {
        // POSIX semaphore names begin with a slash.
        std::string name = "/" + namedEventName(number);
        sem_t* semaphore = ::sem_open(name.c_str(), O_CREAT, 0600, 0);
        if (semaphore != SEM_FAILED) {
            events_.push_back({std::move(name), semaphore});
        }
    }
    return count();
}

void NamedEvents::close() {
    for (const Event& event : events_) {
        ::sem_close(event.semaphore);
        ::sem_unlink(event.name.c_str());
    }
    events_.clear();
}

} // namespace tavrik::platform
