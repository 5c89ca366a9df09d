#include "service/virtual/TimerLead.h"

#include <algorithm>

namespace tavrik::service {

std::chrono::nanoseconds TimerLead::lead() const {
    return std::clamp(2 * averageLateness_, kShortest, kLongest);
}

void TimerLead::observe(std::chrono::nanoseconds lateness) {
    // A single wait that was held up (a preempted thread) moves the average
    // by an eighth, and the bound keeps it from spinning for long.
    const auto bounded = std::clamp(lateness, std::chrono::nanoseconds(0), kLongest);
    averageLateness_ = (7 * averageLateness_ + bounded) / 8;
}

} // namespace tavrik::service
