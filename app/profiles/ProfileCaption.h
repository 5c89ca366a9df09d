#pragma once
// The caption and tip of the current-profile button: "Profile 1".."Profile 3"
// (the language text PROFILE_NUMBER with the profile's number) for the
// active profile, or the text of DEFAULT_PROFILE_NAME when no profile is
// known; the tip is the text of PROFILE_TIP followed directly by the caption.
//
// The three profiles share one working file, so its name cannot tell them
// apart: the caption names the profile by its number.

#include <string>

namespace tavrik::app {

struct ProfileCaption {
    std::u16string caption;
    std::u16string tip;
};

// `activeProfile` as readActiveProfile gives it (-1 when unknown; a value
// beyond the three profiles counts as unknown).
ProfileCaption profileCaptionOf(int activeProfile);

} // namespace tavrik::app
