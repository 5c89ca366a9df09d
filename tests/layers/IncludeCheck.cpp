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

// What an include names: its first folder, or the whole name when it has none.
std::string includedLayer(const std::string& name) {
    const auto slash = name.find('/');
    return slash == std::string::npos ? name : name.substr(0, slash);
}

bool allows(const std::set<std::string>& allowed, const std::string& layer) {
    return allowed.count("*") != 0 || allowed.count(layer) != 0;
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
        const std::string folder = relative.begin()->string();
        const auto row = table.find(folder);
        if (row == table.end()) {
            if (unknownFolders.insert(folder).second) {
                violations.push_back(
                    {relative.string(), 0, "folder \"" + folder + "\" is not in the layer table"});
            }
            continue;
        }
        forEachLine(entry.path(), [&](int number, const std::string& line) {
            std::smatch match;
            if (!std::regex_search(line, match, include)) {
                return;
            }
            const std::string layer = includedLayer(match[1]);
            if (layer != folder && !allows(row->second, layer)) {
                violations.push_back({relative.string(), number,
                                      folder + " may not include \"" + match[1].str() + "\""});
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
