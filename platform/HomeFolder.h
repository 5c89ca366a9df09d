#pragma once

#include <string>
#include <string_view>

namespace tavrik::platform {

// The user's home folder: $HOME when it is an absolute path, else the
// password database's entry; empty when neither is known.
std::string homeFolder();

// A base folder of the XDG rules: the variable's value when it is an
// absolute path, else the home folder with `fallback` below it (".config",
// ".local/state"); empty when neither is known.
std::string xdgBaseFolder(const char* variable, std::string_view fallback);

} // namespace tavrik::platform
