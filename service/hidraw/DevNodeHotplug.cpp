#include "service/hidraw/DevNodeHotplug.h"

#include "service/Diagnostics.h"

#include <array>
#include <cstring>
#include <string_view>
#include <sys/inotify.h>
#include <unistd.h>

namespace tavrik::service {
namespace {

constexpr std::string_view kNodePrefix = "hidraw";
constexpr std::uint32_t kWatchedChanges =
    IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_FROM | IN_MOVED_TO;

class DevNodeHotplug final : public HotplugSource {
public:
    explicit DevNodeHotplug(int inotify) : inotify_(inotify) {}
    ~DevNodeHotplug() override { ::close(inotify_); }
    DevNodeHotplug(const DevNodeHotplug&) = delete;
    DevNodeHotplug& operator=(const DevNodeHotplug&) = delete;

    int descriptor() const override { return inotify_; }

    bool takeChanges() override {
        bool changed = false;
        alignas(inotify_event) std::array<char, 4096> buffer{};
        // The descriptor does not block: this ends when it is empty.
        for (;;) {
            const ssize_t length = ::read(inotify_, buffer.data(), buffer.size());
            if (length <= 0) {
                return changed;
            }
            for (ssize_t at = 0; at < length;) {
                inotify_event event{};
                std::memcpy(&event, buffer.data() + at, sizeof event);
                const char* name = buffer.data() + at + sizeof event;
                // An overflowed queue may have lost a node's notice.
                changed = changed || (event.mask & IN_Q_OVERFLOW) != 0 ||
                          (event.len > 0 && std::string_view(name).starts_with(kNodePrefix));
                at += static_cast<ssize_t>(sizeof event + event.len);
            }
        }
    }

private:
    int inotify_;
};

} // namespace

std::unique_ptr<HotplugSource> createDevNodeHotplug(const std::string& folder) {
    const int inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotify < 0 || ::inotify_add_watch(inotify, folder.c_str(), kWatchedChanges) < 0) {
        diagnostic(kDiagnosticErrors,
                   "hidraw: %s cannot be watched, devices are looked for instead", folder.c_str());
        if (inotify >= 0) {
            ::close(inotify);
        }
        return nullptr;
    }
    return std::make_unique<DevNodeHotplug>(inotify);
}

} // namespace tavrik::service
