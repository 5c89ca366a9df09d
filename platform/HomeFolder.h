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

// The user's documents folder: `desktopAnswer` (the desktop's documents
// folder, which it finds below $HOME) when $HOME is an absolute path; else
// the home folder's "Documents", as the desktop's answer then lies below
// the root folder. Empty when no home folder is known.
std::string documentsFolder(std::string_view desktopAnswer);

} // namespace tavrik::platform
