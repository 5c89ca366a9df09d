#include "profile/ProfileData.h"

#include "macro/MacroList.h"

namespace tavrik::profile {

void releaseProfileData(ProfileData& data) {
    data.strings.releaseAll();
    macro::releaseMacroList(data.macros);
    data.table = keyboard::AssignmentTable();
}

} // namespace tavrik::profile
