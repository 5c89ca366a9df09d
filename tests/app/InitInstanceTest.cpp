// The part of the start that comes before the instance question, for a
// program in a folder of the test's own.

#include "app/InitInstance.h"

#include "app/PathSet.h"
#include "platform/IniFile.h"
#include "platform/IniOverlay.h"
#include "tests/support/TemporaryFolder.h"
#include "ui/LanguageTexts.h"

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace tavrik::app {
namespace {

namespace fs = std::filesystem;

class StartPreparation : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder_.file("bin"));
        fs::copy(std::string(TAVRIK_BIN_DIR) + "/Skins", folder_.file("bin/Skins"),
                 fs::copy_options::recursive);
        fs::create_directories(folder_.file("home"));
        ::setenv("HOME", folder_.file("home").c_str(), 1);
        ::setenv("XDG_DATA_HOME", folder_.file("data").c_str(), 1);
    }
    void TearDown() override {
        platform::resetIniOverlay();
        resetPathSet();
        ui::resetLanguageTexts();
    }

    testing::TemporaryFolder folder_;
};

// The user colour files live in the program's Skins folder. Where that
// folder cannot be written (an installation owned by the system; root may
// write anywhere, so the check is driven here), they go to the user's
// overlay, and are read back from there.
TEST_F(StartPreparation, WritesIntoAProgramFolderThatCannotBeWrittenGoToTheUsersOverlay) {
    const struct {
        const char* name;
        bool writable;
        std::string writtenFolder;
    } rows[] = {
        {"read-only program folder", false, folder_.file("data/Tavrik_Lumora/Skins")},
        {"writable program folder", true, folder_.file("bin/Skins")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        prepareStart(folder_.file("bin/tavrik"),
                     [&row](const std::string&) { return row.writable; });
        EXPECT_EQ(pathSet().exeFolder, folder_.file("bin/"));
        EXPECT_EQ(QCoreApplication::organizationName(), kSettingsRoot);

        platform::IniFile colours(pathSet().lightingFilePrefix + "1.userd");
        EXPECT_TRUE(colours.writeString(u"Mode0", u"color", u"51,34,17"));
        EXPECT_EQ(colours.readString(u"Mode0", u"color", u""), u"51,34,17");
        EXPECT_TRUE(fs::exists(row.writtenFolder + "/UserDengColor_1.userd"));
        fs::remove(folder_.file("bin/Skins/UserDengColor_1.userd"));
        fs::remove_all(folder_.file("data"));
    }
}

} // namespace
} // namespace tavrik::app
