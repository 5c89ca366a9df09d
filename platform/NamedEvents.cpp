#include "platform/NamedEvents.h"

#include "platform/RuntimeFolder.h"

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

constexpr const char* kEventPrefix = "Tavrik_Event_";

std::uint32_t fnv1a(const std::string& text) {
    std::uint32_t hash = 2166136261u;
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

std::string objectNamePrefix() {
    char prefix[48];
    std::snprintf(prefix, sizeof prefix, "/tavrik-%u-%08x.", static_cast<unsigned>(::getuid()),
                  static_cast<unsigned>(fnv1a(runtimeFolder())));
    return prefix;
}

} // namespace

std::string namedEventName(int number) {
    char name[64];
    std::snprintf(name, sizeof name, "%sMain_%02d", kEventPrefix, number);
    return name;
}

std::string namedEventObjectName(std::string_view eventName) {
    return objectNamePrefix() + std::string(eventName);
}

NamedEvents::~NamedEvents() {
    close();
}

int NamedEvents::create() {
    close();
    events_.reserve(kNamedEventCount);
    const std::string prefix = objectNamePrefix();
    for (int number = 1; number <= kNamedEventCount; ++number) {
        std::string name = prefix + namedEventName(number);
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
