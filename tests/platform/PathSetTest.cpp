#include "platform/PathSet.h"

#include "tests/support/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace tavrik::platform {
namespace {

TEST(PathSet, BuildsEveryPathFromTheExecutableAndTheDocumentsFolder) {
    const PathSet paths = buildPathSet("/opt/tavrik/bin/tavrik", "/home/user/Documents/");
    EXPECT_EQ(paths.ownFileName, "tavrik");
    EXPECT_EQ(paths.exeFolder, "/opt/tavrik/bin/");
    EXPECT_EQ(paths.helpFolder, "/opt/tavrik/bin/Help/");
    EXPECT_EQ(paths.mainSkinFile, "/opt/tavrik/bin/Skins/Main.ini");
    EXPECT_EQ(paths.mainSkinFolder, "/opt/tavrik/bin/Skins/");
    EXPECT_EQ(paths.lightingFilePrefix, "/opt/tavrik/bin/Skins/UserDengColor_");
    EXPECT_EQ(paths.profileSkinFile, "/opt/tavrik/bin/Skins/Profile.ini");
    EXPECT_EQ(paths.profileSkinFolder, "/opt/tavrik/bin/Skins/");
    EXPECT_EQ(paths.compositeSkinFile, "/opt/tavrik/bin/Skins/Composite.ini");
    EXPECT_EQ(paths.compositeSkinFolder, "/opt/tavrik/bin/Skins/");
    EXPECT_EQ(paths.daemonPath, "/opt/tavrik/bin/tavrik-daemon");
    EXPECT_EQ(paths.languageFile, "/opt/tavrik/bin/Skins/language.ini");
    EXPECT_EQ(paths.userDataFolder, "/home/user/Documents/Tavrik_09A");
    EXPECT_EQ(paths.userSettingsFile, "/home/user/Documents/Tavrik_09A/zovu.ini");

    const PathSet noDocuments = buildPathSet("/opt/tavrik/bin/tavrik", "");
    EXPECT_EQ(noDocuments.userDataFolder, "");
    EXPECT_EQ(noDocuments.userSettingsFile, "");
}

TEST(PathSet, PathsAreCutAtTwoHundredSixtyCharacters) {
    struct Case {
        std::string path;
        std::string expected;
    };
    const std::string e = "\xC3\xA9";             // one character, two bytes
    const std::string smile = "\xF0\x9F\x98\x80"; // two UTF-16 units, four bytes
    std::string manyE;
    for (int i = 0; i < 300; ++i) {
        manyE += e;
    }
    const Case cases[] = {
        {std::string(260, 'a'), std::string(260, 'a')},
        {std::string(300, 'a'), std::string(260, 'a')},
        {manyE, manyE.substr(0, 260 * e.size())},
        {std::string(258, 'a') + smile, std::string(258, 'a') + smile},
        {std::string(259, 'a') + smile, std::string(259, 'a')},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cutPath(c.path), c.expected) << c.path.size();
    }

    // A folder of 250 characters: the skin files no longer fit whole.
    const std::string folder = "/" + std::string(249, 'f') + "/";
    const PathSet paths = buildPathSet(folder + "tavrik", "/" + std::string(300, 'd'));
    EXPECT_EQ(paths.exeFolder, folder);
    EXPECT_EQ(paths.mainSkinFile, (folder + "Skins/Main.ini").substr(0, 260));
    EXPECT_EQ(paths.daemonPath, (folder + "tavrik-daemon").substr(0, 260));
    EXPECT_EQ(paths.userDataFolder, "/" + std::string(259, 'd'));
    EXPECT_EQ(paths.userSettingsFile, "/" + std::string(259, 'd'));
}

class ProcessPathSet : public ::testing::Test {
protected:
    void TearDown() override { resetPathSet(); }
};

TEST_F(ProcessPathSet, EnsureUserFolderCreatesTheFolderAndItsParents) {
    testing::TemporaryFolder documents;
    installPathSet(buildPathSet("/opt/tavrik/tavrik", documents.file("deep/Documents")));
    EXPECT_EQ(pathSet().userDataFolder, documents.file("deep/Documents/Tavrik_09A"));
    ensureUserFolder();
    EXPECT_TRUE(std::filesystem::is_directory(pathSet().userDataFolder));
    ensureUserFolder(); // already there: nothing happens

    // A file where the folder should be: the failure goes unreported.
    std::ofstream(documents.file("blocked")) << "x";
    installPathSet(buildPathSet("/opt/tavrik/tavrik", documents.file("blocked")));
    ensureUserFolder();
    EXPECT_FALSE(std::filesystem::exists(pathSet().userDataFolder));

    resetPathSet();
    EXPECT_EQ(pathSet().exeFolder, "");
    EXPECT_EQ(pathSet().userDataFolder, "");
}

TEST(ExecutablePath, IsTheRunningProgram) {
    const std::string path = findExecutablePath();
    EXPECT_EQ(path, std::filesystem::canonical("/proc/self/exe").string());
    EXPECT_EQ(buildPathSet(path, "/tmp").ownFileName, "platform_tests");
}

} // namespace
} // namespace tavrik::platform
