#pragma once
// The effects the keyboard offers, in the order it lists them: bytes 12..43
// of its device information block hold one effect number each, a 0 byte
// being an empty slot. Entry i of the panel's effect list is the i-th
// non-zero byte.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tavrik::lighting {

// Effect numbers the panel treats apart.
inline constexpr int kZoneEffect = 8;      // zone colours painted on the on-screen keys
inline constexpr int kReactionEffect = 16; // its colour controls are the reaction group
inline constexpr int kPresetEffect = 17;   // uses the four preset colours

inline constexpr std::size_t kDeviceInfoSize = 44;
inline constexpr std::size_t kFirstEffectByte = 12;
inline constexpr std::size_t kEffectSlots = kDeviceInfoSize - kFirstEffectByte;

class EffectList {
public:
    EffectList() = default;
    static EffectList fromDeviceInfo(std::span<const std::uint8_t, kDeviceInfoSize> info);

    std::size_t size() const { return effects_.size(); }
    bool empty() const { return effects_.empty(); }
    const std::vector<int>& effects() const { return effects_; }

    // The effect of list entry `index`; -1 outside the list.
    int effectAt(int index) const;
    // The first entry showing `effect`; -1 when the keyboard does not offer it.
    int indexOf(int effect) const;
    bool offers(int effect) const { return indexOf(effect) >= 0; }

private:
    std::vector<int> effects_;
};

} // namespace tavrik::lighting
