// The part of the start that comes before the instance question.

#include "app/startup/InitInstance.h"

#include "platform/IniFile.h"
#include "platform/PathSet.h"
#include "tests/support/TemporaryFolder.h"
#include "text/LanguageTexts.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace tavrik::app {
namespace {

// The user colour files live in the program's Skins folder. Where that
// folder cannot be written (an installation owned by the system; root may
// write anywhere, so the check is driven here), they go to the user's
// overlay, and are read back from there.
TEST(StartPreparation, WritesIntoAProgramFolderThatCannotBeWrittenGoToTheUsersOverlay) {
    testing::TemporaryFolder folder;
    std::filesystem::create_directories(folder.file("bin/Skins"));
    ::setenv("XDG_DATA_HOME", folder.file("data").c_str(), 1);
    const struct {
        bool writable;
        std::string writtenFolder;
    } rows[] = {
        {false, folder.file("data/Tavrik_Lumora/Skins")},
        {true, folder.file("bin/Skins")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.writable);
        prepareStart(folder.file("bin/tavrik"),
                     [&row](const std::string&) { return row.writable; });
        platform::IniFile colours(platform::pathSet().lightingFilePrefix + "1.userd");
        EXPECT_TRUE(colours.writeString(u"Mode0", u"color", u"51,34,17"));
        EXPECT_EQ(colours.readString(u"Mode0", u"color", u""), u"51,34,17");
        EXPECT_TRUE(std::filesystem::exists(row.writtenFolder + "/UserDengColor_1.userd"));
        std::filesystem::remove_all(folder.file("data"));
    }
    platform::resetIniOverlay();
    platform::resetPathSet();
    text::resetLanguageTexts();
}

// Without $HOME the desktop's documents folder is "/Documents": the user's
// files go below the account's home instead.
TEST(StartPreparation, TheUserDataFolderIsInTheHomesDocumentsAlsoWithoutHome) {
    testing::TemporaryFolder folder;
    const auto saved = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
    const auto restore = [](const char* name, const std::optional<std::string>& value) {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    };
    const std::optional<std::string> savedHome = saved("HOME");
    const std::optional<std::string> savedConfig = saved("XDG_CONFIG_HOME");
    const passwd* account = ::getpwuid(::getuid());
    ASSERT_NE(account, nullptr);
    ::setenv("XDG_CONFIG_HOME", folder.file("config").c_str(), 1);
    const struct {
        std::optional<std::string> home;
        std::string userData;
    } rows[] = {
        {folder.path(), folder.file("Documents/Tavrik_09A")},
        {std::nullopt, std::string(account->pw_dir) + "/Documents/Tavrik_09A"},
        {"relative", std::string(account->pw_dir) + "/Documents/Tavrik_09A"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.home.value_or("unset"));
        restore("HOME", row.home);
        prepareStart(folder.file("bin/tavrik"), [](const std::string&) { return true; });
        EXPECT_EQ(platform::pathSet().userDataFolder, row.userData);
    }
    restore("HOME", savedHome);
    restore("XDG_CONFIG_HOME", savedConfig);
    platform::resetIniOverlay();
    platform::resetPathSet();
    text::resetLanguageTexts();
}

} // namespace
} // namespace tavrik::app
