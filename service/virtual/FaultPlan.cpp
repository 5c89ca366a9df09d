#include "service/virtual/FaultPlan.h"

namespace tavrik::service {

void FaultPlan::clear() {
    for (int fault = 0; fault < 5; ++fault) {
        remaining_[fault] = 0;
        delay_[fault] = 0;
    }
    unplugCountdown_ = -1;
}

void FaultPlan::set(Fault fault, std::uint32_t count, std::uint32_t after) {
    if (fault != Fault::None) {
        remaining_[static_cast<int>(fault)] = count;
        delay_[static_cast<int>(fault)] = count == 0 ? 0 : after;
    }
}

void FaultPlan::unplugAfter(std::uint32_t count) {
    unplugCountdown_ = count;
}

Fault FaultPlan::takeFault() {
    Fault taken = Fault::None;
    for (int fault = static_cast<int>(Fault::NoAnswer);
         fault <= static_cast<int>(Fault::StatusBadChecksum); ++fault) {
        if (delay_[fault] > 0) {
            // Every command counts towards every delayed fault.
            --delay_[fault];
        } else if (remaining_[fault] > 0 && taken == Fault::None) {
            --remaining_[fault];
            taken = static_cast<Fault>(fault);
        }
    }
    return taken;
}

bool FaultPlan::countCommand() {
    if (unplugCountdown_ <= 0) {
        return false;
    }
    if (--unplugCountdown_ == 0) {
        unplugCountdown_ = -1;
        return true;
    }
    return false;
}

} // namespace tavrik::service
