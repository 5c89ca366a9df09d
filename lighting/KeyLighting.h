#pragma once
// What the on-screen keys show of the lighting while the lighting editor is
// on: the zone-colour effect draws each key in its zone's colour, an effect
// of one chosen colour draws every key in it, and the other effects (random
// colours, presets, moving rainbows) leave the keys' own pictures, as no
// single colour would tell what the keyboard shows.

#include "lighting/Colour.h"
#include "lighting/LightingEditor.h"

#include <optional>

namespace tavrik::lighting {

// The colour the on-screen button `buttonId` is drawn in; none for the
// button's own picture.
std::optional<Colour> keyColourOf(const LightingState& state, int buttonId);

} // namespace tavrik::lighting
