// The source tree keeps its layers: includes point down only, and the
// toolkit-free library includes no Qt header.

#include "tests/layers/IncludeCheck.h"
#include "tests/support/TemporaryFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
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

// Rooms: rows of sub-folders. A file and an include belong to the longest
// row their folder is or lies below; a room is not its parent's own folder.
TEST(IncludeLayers, ARoomReachesOnlyTheRoomsItsRowNames) {
    TemporaryFolder root;
    const LayerTable table = parseLayerTable("low:\n"
                                             "top/shared: low\n"
                                             "top/dialog: low top/shared\n"
                                             "top/window: low top/shared top/dialog\n"
                                             "top: low top/window\n"
                                             "tools: low top\n");
    writeFile(root.file("top/shared/Ids.h"), "#pragma once\n#include \"low/Model.h\"\n");
    writeFile(root.file("top/dialog/Dialog.cpp"), "#include \"top/dialog/Dialog.h\"\n"
                                                  "#include \"top/shared/Ids.h\"\n"
                                                  "#include \"top/window/Window.h\"\n");
    writeFile(root.file("top/window/Window.cpp"), "#include \"top/window/Window.h\"\n"
                                                  "#include \"top/dialog/Dialog.h\"\n"
                                                  "#include \"top/shared/Ids.h\"\n");
    writeFile(root.file("top/window/parts/Part.cpp"), "#include \"top/dialog/Dialog.h\"\n");
    writeFile(root.file("top/main.cpp"), "#include \"top/window/Window.h\"\n"
                                         "#include \"top/Entry.h\"\n"
                                         "#include \"top/dialog/Dialog.h\"\n");
    writeFile(root.file("tools/Tool.cpp"), "#include \"top/dialog/Dialog.h\"\n"
                                           "#include \"top/window/parts/Part.h\"\n");
    writeFile(root.file("low/Model.cpp"), "#include \"top/shared/Ids.h\"\n");
    writeFile(root.file("top/stray/Loose.cpp"), "#include \"low/Model.h\"\n");
    writeFile(root.file("top/stray/deeper/Looser.cpp"), "#include \"low/Model.h\"\n");

    std::vector<IncludeViolation> violations = checkIncludeLayers(root.path(), table);
    std::sort(violations.begin(), violations.end(),
              [](const IncludeViolation& left, const IncludeViolation& right) {
                  return left.file < right.file;
              });
    ASSERT_EQ(violations.size(), 4u) << describe(violations);
    const struct {
        std::string file;
        int line;
        std::string what;
    } expected[] = {
        {"low/Model.cpp", 1, "low may not include \"top/shared/Ids.h\""},
        {"top/dialog/Dialog.cpp", 3, "top/dialog may not include \"top/window/Window.h\""},
        {"top/main.cpp", 3, "top may not include \"top/dialog/Dialog.h\""},
        {"", 0, "folder \"top/stray\" is not in the layer table"},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        if (!expected[i].file.empty()) {
            EXPECT_EQ(violations[i].file, expected[i].file);
        } else {
            EXPECT_EQ(violations[i].file.rfind("top/stray/", 0), 0u) << violations[i].file;
        }
        EXPECT_EQ(violations[i].line, expected[i].line) << violations[i].file;
        EXPECT_EQ(violations[i].what, expected[i].what) << violations[i].file;
    }
}

// The rows of app/ say what the rooms are to each other: a dialog or panel
// never reaches the main window, the shared pieces reach no room, and the
// main window and the program's entry reach what they start.
TEST(IncludeLayers, TheRoomsOfTheWindowsPointTowardsTheMainWindow) {
    const LayerTable table = parseLayerTable(readFile(TAVRIK_SOURCE_DIR "/docs/layers.txt"));
    const struct {
        const char* file;
        const char* include;
        bool allowed;
    } cases[] = {
        {"app/profiles/A.cpp", "app/mainwindow/CTavrikDlg.h", false},
        {"app/compositeeditor/A.cpp", "app/mainwindow/MainWindowBridge.h", false},
        {"app/lightingpanel/A.cpp", "app/mainwindow/WindowTimers.h", false},
        {"app/about/A.cpp", "app/mainwindow/LinkAddress.h", false},
        {"app/startup/A.cpp", "app/mainwindow/CTavrikDlg.h", false},
        {"app/shared/A.cpp", "app/tray/CTrayIcon.h", false},
        {"app/keyboardpanel/A.cpp", "app/compositeeditor/Tavrik_DlgComposite.h", false},
        {"app/lightingpanel/A.cpp", "app/profiles/ProfileSwitching.h", true},
        {"app/compositeeditor/A.cpp", "app/keyboardpanel/CompositeEditorOpener.h", true},
        {"app/mainwindow/A.cpp", "app/profiles/CTavrik_DlgProfile.h", true},
        {"app/mainwindow/A.cpp", "app/startup/InstanceStartup.h", true},
        {"app/main.cpp", "app/mainwindow/CTavrikDlg.h", true},
        {"app/main.cpp", "app/profiles/ProfileButtons.h", false},
        {"tools/A.cpp", "app/compositeeditor/MacroSection.h", true},
        {"sync/A.cpp", "app/shared/MainWindowIds.h", false},
    };
    for (const auto& c : cases) {
        TemporaryFolder root;
        writeFile(root.file(c.file), std::string("#include \"") + c.include + "\"\n");
        const std::vector<IncludeViolation> violations = checkIncludeLayers(root.path(), table);
        EXPECT_EQ(violations.empty(), c.allowed) << c.file << " -> " << c.include << "\n"
                                                 << describe(violations);
    }
}

} // namespace
} // namespace tavrik::testing
