#pragma once
// How long before an answer is due the virtual keyboard stops sleeping and
// watches the clock instead. A timed wait wakes late by the system's timer
// latency (tens of microseconds in a virtual machine, more under load); a
// keyboard that answers on a 1 ms USB frame is not late. The lead follows
// the lateness seen: twice its running average, within fixed bounds.

#include <chrono>

namespace tavrik::service {

class TimerLead {
public:
    static constexpr std::chrono::nanoseconds kShortest{std::chrono::microseconds(20)};
    static constexpr std::chrono::nanoseconds kLongest{std::chrono::microseconds(500)};

    std::chrono::nanoseconds lead() const;
    // A timed wait asked to wake at some time woke `lateness` after it.
    void observe(std::chrono::nanoseconds lateness);

private:
    std::chrono::nanoseconds averageLateness_{std::chrono::microseconds(50)};
};

} // namespace tavrik::service
