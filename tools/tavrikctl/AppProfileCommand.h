#pragma once
// tavrikctl app-profile: the rules of the profiles that follow the focused
// application. While the program runs they are read and changed through it
// (session bus), so that a change takes effect at once; without it, in the
// settings store, where the program finds them at its next start.
//
//   app-profile list               the rules, the default, the rule in force
//   app-profile set APP 1|2|3      a rule for APP (the X11 class or instance,
//                                  the Wayland app id), or its new profile
//   app-profile unset APP          the rule of APP removed
//   app-profile default 1|2|3|none what applications without a rule get

#include <string>
#include <vector>

namespace tavrik::tools {

// `arguments` after "app-profile". The exit status: 0 done, 1 failed, 2
// wrong usage.
int runAppProfileCommand(const std::vector<std::string>& arguments);

} // namespace tavrik::tools
