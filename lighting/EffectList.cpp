#include "lighting/EffectList.h"

#include <algorithm>

namespace tavrik::lighting {

EffectList EffectList::fromDeviceInfo(std::span<const std::uint8_t, kDeviceInfoSize> info) {
    EffectList list;
    for (std::size_t i = kFirstEffectByte; i < kDeviceInfoSize; ++i) {
        if (info[i] != 0) {
            list.effects_.push_back(info[i]);
        }
    }
    return list;
}

int EffectList::effectAt(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= effects_.size()) {
        return -1;
    }
    return effects_[static_cast<std::size_t>(index)];
}

int EffectList::indexOf(int effect) const {
    const auto found = std::find(effects_.begin(), effects_.end(), effect);
    return found == effects_.end() ? -1 : static_cast<int>(found - effects_.begin());
}

} // namespace tavrik::lighting
