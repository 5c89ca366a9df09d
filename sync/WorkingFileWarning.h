#pragma once
// Telling the user that the working copy of the keyboard's setup cannot be
// saved (a read-only or full home, a documents folder that cannot be made).
// A reload from the keyboard tells it once, and again only after a save has
// worked in between; Apply tells every failure of its own save. The program
// goes on with what it holds in memory.

#include <string>
#include <string_view>

namespace tavrik::sync {

// Records how a save of the working file went. True when it failed and the
// user has not been told since the last save that worked.
bool isFirstWorkingFileFailure(bool saved);

// Shows the language text `key`, whose "%s" names the working file at `path`
// with the reason (`error`) it could not be saved.
void tellWorkingFileFailure(std::string_view key, const std::string& path, int error);

// Forgets that the user was told (a fresh start).
void resetWorkingFileWarning();

} // namespace tavrik::sync
