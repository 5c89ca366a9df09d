#include "tests/layers/IncludeCheck.h"

#include <fstream>
#include <regex>
#include <sstream>

namespace tavrik::testing {
namespace {

namespace fs = std::filesystem;

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool isSource(const fs::path& path) {
    return path.extension() == ".h" || path.extension() == ".cpp";
}

// Build trees, hidden folders and the documentation hold no sources of ours.
bool isSkipped(const fs::path& relative) {
    const std::string top = relative.begin()->string();
    return top.empty() || top.front() == '.' || top.rfind("build", 0) == 0 || top == "docs";
}

bool isBelow(const std::string& folder, const std::string& ancestor) {
    return folder.size() > ancestor.size() && folder.compare(0, ancestor.size(), ancestor) == 0 &&
           folder[ancestor.size()] == '/';
}

// The row of the table that `folder` belongs to: the longest one that the
// folder is or lies below ("app/profiles" for app/profiles/, "service" for
// service/hidraw/). Empty when there is none.
std::string rowOf(const LayerTable& table, const std::string& folder) {
    std::string row;
    for (const auto& [name, allowed] : table) {
        if ((folder == name || isBelow(folder, name)) && name.size() > row.size()) {
            row = name;
        }
    }
    return row;
}

// Whether the table splits `row` into rows of its sub-folders (the rooms of
// app/): a file below it must then be in one of them.
bool isSplit(const LayerTable& table, const std::string& row) {
    for (const auto& [name, allowed] : table) {
        if (isBelow(name, row)) {
            return true;
        }
    }
    return false;
}

// What an include names: the row of its folder, else its first folder, or
// the whole name when it has none ("VezAror.h").
std::string includedLayer(const LayerTable& table, const std::string& name) {
    const auto last = name.rfind('/');
    if (last == std::string::npos) {
        return name;
    }
    const std::string row = rowOf(table, name.substr(0, last));
    return row.empty() ? name.substr(0, name.find('/')) : row;
}

// A folder that a row names allows what lies below it too.
bool allows(const std::set<std::string>& allowed, const std::string& layer) {
    if (allowed.count("*") != 0) {
        return true;
    }
    for (const std::string& folder : allowed) {
        if (layer == folder || isBelow(layer, folder)) {
            return true;
        }
    }
    return false;
}

// The folder to name for a file whose folder has no row: its first folder,
// or the sub-folder of a split row that is missing from the table.
std::string unknownFolder(const std::string& folder, const std::string& row) {
    if (row.empty()) {
        return folder.substr(0, folder.find('/'));
    }
    return folder.substr(0, folder.find('/', row.size() + 1));
}

template <typename Visit> void forEachLine(const fs::path& file, Visit visit) {
    std::ifstream stream(file);
    std::string line;
    for (int number = 1; std::getline(stream, line); ++number) {
        visit(number, line);
    }
}

} // namespace

LayerTable parseLayerTable(const std::string& text) {
    LayerTable table;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        line = trimmed(line.substr(0, line.find('#')));
        const auto colon = line.find(':');
        if (line.empty() || colon == std::string::npos) {
            continue;
        }
        std::set<std::string>& allowed = table[trimmed(line.substr(0, colon))];
        std::istringstream names(line.substr(colon + 1));
        for (std::string name; names >> name;) {
            allowed.insert(name);
        }
    }
    return table;
}

std::vector<IncludeViolation> checkIncludeLayers(const fs::path& root, const LayerTable& table) {
    static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<IncludeViolation> violations;
    std::set<std::string> unknownFolders;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        const fs::path relative = fs::relative(entry.path(), root);
        if (!entry.is_regular_file() || !isSource(entry.path()) || isSkipped(relative) ||
            relative.begin() == std::prev(relative.end())) {
            continue;
        }
        const std::string folder = relative.parent_path().generic_string();
        const std::string row = rowOf(table, folder);
        if (row.empty() || (folder != row && isSplit(table, row))) {
            const std::string unknown = unknownFolder(folder, row);
            if (unknownFolders.insert(unknown).second) {
                violations.push_back(
                    {relative.string(), 0, "folder \"" + unknown + "\" is not in the layer table"});
            }
            continue;
        }
        const std::set<std::string>& allowed = table.at(row);
        forEachLine(entry.path(), [&](int number, const std::string& line) {
            std::smatch match;
            if (!std::regex_search(line, match, include)) {
                return;
            }
            const std::string layer = includedLayer(table, match[1]);
            if (layer != row && !allows(allowed, layer)) {
                violations.push_back({relative.string(), number,
                                      row + " may not include \"" + match[1].str() + "\""});
            }
        });
    }
    return violations;
}

std::vector<IncludeViolation> findToolkitIncludes(const fs::path& root,
                                                  const std::vector<fs::path>& files) {
    static const std::regex toolkit(R"(^\s*#\s*include\s*<(Qt?[A-Z][A-Za-z]*(/[A-Za-z]+)?)>)");
    std::vector<IncludeViolation> violations;
    std::set<fs::path> seen;
    for (const fs::path& file : files) {
        for (fs::path candidate : {file, fs::path(file).replace_extension(".h")}) {
            if (!fs::exists(candidate) || !seen.insert(candidate).second) {
                continue;
            }
            forEachLine(candidate, [&](int number, const std::string& line) {
                std::smatch match;
                if (std::regex_search(line, match, toolkit)) {
                    violations.push_back(
                        {fs::relative(candidate, root).string(), number,
                         "the toolkit-free library includes <" + match[1].str() + ">"});
                }
            });
        }
    }
    return violations;
}

} // namespace tavrik::testing
