// The source tree keeps its layers: includes point down only, and the
// toolkit-free library includes no Qt header.

#include "tests/layers/IncludeCheck.h"
#include "tests/support/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace tavrik::testing {
namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

std::string describe(const std::vector<IncludeViolation>& violations) {
    std::string text;
    for (const IncludeViolation& violation : violations) {
        text +=
            violation.file + ":" + std::to_string(violation.line) + ": " + violation.what + "\n";
    }
    return text;
}

void writeFile(const fs::path& path, const std::string& contents) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << contents;
}

TEST(IncludeLayers, TheSourceTreeKeepsItsLayers) {
    const LayerTable table = parseLayerTable(readFile(TAVRIK_SOURCE_DIR "/docs/layers.txt"));
    ASSERT_FALSE(table.empty());
    const std::vector<IncludeViolation> violations = checkIncludeLayers(TAVRIK_SOURCE_DIR, table);
    EXPECT_TRUE(violations.empty()) << describe(violations);
}

TEST(IncludeLayers, TheToolkitFreeLibraryIncludesNoQtHeader) {
    std::vector<fs::path> sources;
    std::istringstream list(readFile(TAVRIK_CORE_SOURCES));
    for (std::string line; std::getline(list, line);) {
        if (!line.empty()) {
            sources.emplace_back(line);
        }
    }
    ASSERT_GT(sources.size(), 50u);
    const std::vector<IncludeViolation> violations =
        findToolkitIncludes(TAVRIK_SOURCE_DIR, sources);
    EXPECT_TRUE(violations.empty()) << describe(violations);
}

// The check itself, on a small tree of its own.
TEST(IncludeLayers, AnUpwardIncludeAndAnUnknownFolderAreNamedWithFileAndLine) {
    TemporaryFolder root;
    const LayerTable table = parseLayerTable("# comment\nlow:\nhigh: low VezAror.h  # trailing\n");
    writeFile(root.file("low/Model.h"), "#pragma once\n#include \"low/Other.h\"\n");
    writeFile(root.file("high/View.cpp"), "#include \"low/Model.h\"\n#include \"VezAror.h\"\n");
    writeFile(root.file("low/Model.cpp"),
              "#include \"low/Model.h\"\n\n  #  include \"high/View.h\"\n");
    writeFile(root.file("stray/File.cpp"), "#include \"low/Model.h\"\n");
    writeFile(root.file("build-x/Generated.cpp"), "#include \"high/View.h\"\n");
    writeFile(root.file("TopLevel.cpp"), "#include \"high/View.h\"\n");

    const std::vector<IncludeViolation> violations = checkIncludeLayers(root.path(), table);
    ASSERT_EQ(violations.size(), 2u) << describe(violations);
    const bool upwardFirst = violations[0].file == "low/Model.cpp";
    const IncludeViolation& upward = violations[upwardFirst ? 0 : 1];
    const IncludeViolation& stray = violations[upwardFirst ? 1 : 0];
    EXPECT_EQ(upward.file, "low/Model.cpp");
    EXPECT_EQ(upward.line, 3);
    EXPECT_NE(upward.what.find("high/View.h"), std::string::npos);
    EXPECT_EQ(stray.file, "stray/File.cpp");
    EXPECT_NE(stray.what.find("not in the layer table"), std::string::npos);

    writeFile(root.file("low/Widget.cpp"), "#include <QWidget>\n#include <vector>\n");
    const std::vector<IncludeViolation> toolkit =
        findToolkitIncludes(root.path(), {root.file("low/Widget.cpp"), root.file("low/Model.cpp")});
    ASSERT_EQ(toolkit.size(), 1u) << describe(toolkit);
    EXPECT_EQ(toolkit[0].file, "low/Widget.cpp");
    EXPECT_EQ(toolkit[0].line, 1);
}

} // namespace
} // namespace tavrik::testing
