#pragma once
// Faults the virtual keyboard shows on request, so that the host's failure
// paths can be exercised: for N commands no answer, an answer for another
// command, or a refusal, from the next command or after a number of commands
// that go through; or an unplug after N further commands. A command that
// meets a fault is not carried out.

#include <cstdint>

namespace tavrik::service {

enum class Fault { None, NoAnswer, WrongCode, StatusRefused, StatusBadChecksum };

class FaultPlan {
public:
    // Clears every fault, the pending unplug included.
    void clear();
    // `count` commands meet `fault` once `after` further commands have gone
    // through (count 0 removes it).
    void set(Fault fault, std::uint32_t count, std::uint32_t after = 0);
    // Unplug once `count` further commands have been received.
    void unplugAfter(std::uint32_t count);

    // Takes the fault of the next command. When several are set, the first
    // in the order of the Fault enumeration comes first.
    Fault takeFault();
    // Counts one received command; true when the keyboard is to unplug now.
    bool countCommand();

private:
    std::uint32_t remaining_[5] = {};
    // Commands that go through before the fault starts.
    std::uint32_t delay_[5] = {};
    // Commands before the unplug; negative when none is pending.
    std::int64_t unplugCountdown_ = -1;
};

} // namespace tavrik::service
