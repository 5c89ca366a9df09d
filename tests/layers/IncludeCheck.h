#pragma once
// The include check of the source tree: every #include "..." of a source
// folder must name its own folder or one that the layer table
// (docs/layers.txt) allows it, and the toolkit-free library's files include
// no Qt header. A row may name a sub-folder ("app/profiles"): a file, and
// what an include names, belong to the longest row their folder is or lies
// below, and a folder that a row allows allows what lies below it.

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tavrik::testing {

// folder -> the folders its includes may name; "*" allows every folder.
using LayerTable = std::map<std::string, std::set<std::string>>;

// "folder: allowed ..." lines; '#' starts a comment.
LayerTable parseLayerTable(const std::string& text);

struct IncludeViolation {
    std::string file; // relative to the root
    int line = 0;
    std::string what;
};

// Walks every .h and .cpp file under `root` (build trees, hidden folders and
// docs/ aside) and returns what breaks the table: an include of a folder the
// file's folder may not reach, and a file in a folder the table does not
// know, which is also a sub-folder missing from a row that the table splits
// into rows of its sub-folders. An include with no folder ("VezAror.h") is
// named as it stands.
std::vector<IncludeViolation> checkIncludeLayers(const std::filesystem::path& root,
                                                 const LayerTable& table);

// The Qt headers (<Q...>, <Qt...>) that `files` and the headers beside them
// include.
std::vector<IncludeViolation> findToolkitIncludes(const std::filesystem::path& root,
                                                  const std::vector<std::filesystem::path>& files);

} // namespace tavrik::testing
