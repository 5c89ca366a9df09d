#pragma once
// The application rules in the program's settings store, beside the other
// settings of section "PROFILES": "APPRULE00" the number of rules,
// "APPRULE01".. each rule as "<id>=<profile>", "APPDEFAULT" the default
// ("none" or 1..3). A broken entry is passed over with a warning on the log
// ("tavrik.appprofiles"); the others stand.

#include "app/appprofiles/ApplicationRules.h"

namespace tavrik::app {

ApplicationRules loadApplicationRules();
// Whether the store kept them: what is read back is what was stored.
bool storeApplicationRules(const ApplicationRules& rules);

} // namespace tavrik::app
