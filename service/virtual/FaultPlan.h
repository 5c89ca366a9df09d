#pragma once
// Faults the virtual keyboard shows on request, so that the host's failure
// paths can be exercised: for the next N commands no answer, an answer for
// another command, or a refusal; or an unplug after N further commands.
// A command that meets a fault is not carried out.

#include <cstdint>

namespace tavrik::service {

enum class Fault { None, NoAnswer, WrongCode, StatusRefused, StatusBadChecksum };

class FaultPlan {
public:
    // Clears every fault, the pending unplug included.
    void clear();
    // The next `count` commands meet `fault` (count 0 removes it).
    void set(Fault fault, std::uint32_t count);
    // Unplug once `count` further commands have been received.
    void unplugAfter(std::uint32_t count);

    // Takes the fault of the next command. When several are set, the first
    // in the order of the Fault enumeration comes first.
    Fault takeFault();
    // Counts one received command; true when the keyboard is to unplug now.
    bool countCommand();

private:
    std::uint32_t remaining_[5] = {};
    // Commands before the unplug; negative when none is pending.
    std::int64_t unplugCountdown_ = -1;
};

} // namespace tavrik::service
