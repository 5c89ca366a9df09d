#pragma once
// Tells that the system's wall clock was set, without looking at the clock
// periodically: a timer on the wall clock that the kernel cancels whenever
// the clock is set (timerfd with TFD_TIMER_CANCEL_ON_SET). Its descriptor
// becomes readable then, so a program that watches it wakes for nothing
// else. A resume from suspend makes it readable too; whether the clock
// really moved is for the caller to judge.

namespace tavrik::platform {

class ClockSetTimer {
public:
    // Creates and arms the timer; valid() is false where the system has none.
    ClockSetTimer();
    ~ClockSetTimer();
    ClockSetTimer(const ClockSetTimer&) = delete;
    ClockSetTimer& operator=(const ClockSetTimer&) = delete;

    bool valid() const { return descriptor_ >= 0; }
    // Readable when the clock was set since the timer was armed.
    int descriptor() const { return descriptor_; }
    // Called when the descriptor is readable: true when the clock was set.
    // The timer is armed again either way.
    bool takeClockSet();

private:
    bool arm();

    int descriptor_ = -1;
};

} // namespace tavrik::platform
