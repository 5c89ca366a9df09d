#include "lighting/KeyLighting.h"

#include "lighting/EffectControls.h"
#include "lighting/Zones.h"

namespace tavrik::lighting {

std::optional<Colour> keyColourOf(const LightingState& state, int buttonId) {
    const LightingRecord& record = state.record;
    if (record.effect == kZoneEffect) {
        const int zone = zoneOfButton(buttonId);
        if (zone < 0) {
            return std::nullopt;
        }
        return state.shownZones()[static_cast<std::size_t>(firstSlotOfZone(zone))];
    }
    const bool oneColour = groupShows(ControlGroup::EffectColour, record.effect) ||
                           groupShows(ControlGroup::Reaction, record.effect);
    if (oneColour && !record.random) {
        return record.colour;
    }
    return std::nullopt;
}

} // namespace tavrik::lighting
