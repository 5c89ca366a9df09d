#pragma once
// The 210 named events that exist, under their names, while the main window
// lives: "Tavrik_Event_Main_01" .. "Tavrik_Event_Main_210". They are POSIX
// named semaphores (initial count 0, readable and writable by the user only).
// The program itself never waits on them or signals them; they are there for
// whoever looks for them by name.
//
// Semaphore names are machine-wide, while an instance is the user's: each
// name is kept apart by the user and the runtime folder that holds the
// instance lock (namedEventObjectName), so that the instances of two users,
// or of one user in two runtime folders, neither share nor remove each
// other's events.

#include <semaphore.h>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::platform {

inline constexpr int kNamedEventCount = 210;

// "%sMain_%02d" on the prefix "Tavrik_Event_": number 1 gives
// "Tavrik_Event_Main_01", number 210 "Tavrik_Event_Main_210".
std::string namedEventName(int number);

// The semaphore that stands for the event of that name in the current
// user's runtime folder: "/tavrik-<uid>-<8 hex digits of the folder's FNV-1a
// hash>.<name>", e.g. "/tavrik-1000-6a1b2c3d.Tavrik_Event_Main_01".
std::string namedEventObjectName(std::string_view eventName);

class NamedEvents {
public:
    NamedEvents() = default;
    ~NamedEvents();
    NamedEvents(const NamedEvents&) = delete;
    NamedEvents& operator=(const NamedEvents&) = delete;

    // Creates (or opens, if left behind) all 210. A name that cannot be had is
    // skipped, as a failed creation changes nothing for the program. Returns
    // how many exist now. Creating again first closes the ones held.
    int create();
    // Closes and unlinks every one this object holds.
    void close();

    int count() const { return static_cast<int>(events_.size()); }

private:
    struct Event {
        std::string name;
        sem_t* semaphore;
    };
    std::vector<Event> events_;
};

} // namespace tavrik::platform
