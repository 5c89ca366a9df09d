#pragma once
// The caption and tip of the current-profile button: the name of the active
// profile, or the text of DEFAULT_PROFILE_NAME when no profile is known; the
// tip is the text of PROFILE_TIP followed directly by the caption.
//
// The program keeps no name of its own per profile: a profile is named after
// the working file it is kept in (its file name without folder and
// extension), which is the same file for all three.

#include <string>

namespace tavrik::app {

struct ProfileCaption {
    std::u16string caption;
    std::u16string tip;
};

// `activeProfile` as readActiveProfile gives it (-1 when unknown);
// `workingFile` the working file path of that profile (may be empty).
ProfileCaption profileCaptionOf(int activeProfile, const std::string& workingFile);

} // namespace tavrik::app
