#pragma once

#include <string>

namespace tavrik::platform {

// The user's home folder: $HOME when it is an absolute path, else the
// password database's entry; empty when neither is known.
std::string homeFolder();

} // namespace tavrik::platform
