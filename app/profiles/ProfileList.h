#pragma once
// The rows of the profile manager and the list it stores. A row stands for a
// profile file: its name (the file name without folder and extension) and
// its folder (with the trailing '/'), and the file's full path, which is what
// the store keeps. The store is section "PROFILES" of the settings store:
// PROFILE00 holds the number of rows in decimal, PROFILE01, PROFILE02 ... the
// paths from the top.

#include <QString>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::app {

struct ProfileRow {
    std::string path;
    QString name;
    QString folder;
};

ProfileRow profileRowOf(const std::string& path);

// "PROFILE00", "PROFILE01" ...
QString profileListKey(int number);

// The stored paths, or nothing when no list was ever stored. A count that is
// not a number reads as 0; numbered keys that are missing or empty are
// skipped.
std::optional<std::vector<std::string>> storedProfileList();
// Stores the paths and their count; numbered keys of a longer list stored
// before are removed.
void storeProfileList(const std::vector<std::string>& paths);

} // namespace tavrik::app
