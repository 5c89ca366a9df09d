#include "service/virtual/FaultPlan.h"

namespace tavrik::service {

void FaultPlan::clear() {
    for (std::uint32_t& count : remaining_) {
        count = 0;
    }
    unplugCountdown_ = -1;
}

void FaultPlan::set(Fault fault, std::uint32_t count) {
    if (fault != Fault::None) {
        remaining_[static_cast<int>(fault)] = count;
    }
}

void FaultPlan::unplugAfter(std::uint32_t count) {
    unplugCountdown_ = count;
}

Fault FaultPlan::takeFault() {
    for (int fault = static_cast<int>(Fault::NoAnswer);
         fault <= static_cast<int>(Fault::StatusBadChecksum); ++fault) {
        if (remaining_[fault] > 0) {
            --remaining_[fault];
            return static_cast<Fault>(fault);
        }
    }
    return Fault::None;
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
