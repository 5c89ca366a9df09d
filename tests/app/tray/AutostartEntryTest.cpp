// "Start with the desktop": the autostart entry on disk.

#include "app/tray/AutostartEntry.h"

#include "platform/IniDocument.h"
#include "tests/support/CommandRun.h"
#include "tests/support/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace tavrik::app {
namespace {

using tavrik::testing::readTextFile;

class AutostartEntryTest : public ::testing::Test {
protected:
    std::string entryPath() const { return folder_.file("config/autostart/tavrik.desktop"); }

    tavrik::testing::TemporaryFolder folder_;
};

TEST_F(AutostartEntryTest, TheEntryStartsThisProgramHiddenAndIsSwitchedOnAndOff) {
    const AutostartEntry entry(entryPath(), "/opt/tavrik/lib/tavrik/tavrik");
    EXPECT_FALSE(entry.isEnabled());

    // Its folder is made when it is missing.
    ASSERT_TRUE(entry.setEnabled(true));
    EXPECT_TRUE(entry.isEnabled());
    const platform::IniDocument written = platform::IniDocument::parse(readTextFile(entryPath()));
    const auto value = [&](std::u16string_view key) {
        return written.find(u"Desktop Entry", key).value_or(u"(missing)");
    };
    EXPECT_EQ(value(u"Type"), u"Application");
    EXPECT_EQ(value(u"Exec"), u"/opt/tavrik/lib/tavrik/tavrik /Start");
    EXPECT_EQ(value(u"TryExec"), u"/opt/tavrik/lib/tavrik/tavrik");
    EXPECT_EQ(value(u"Name"), u"Tavrik");
    EXPECT_NE(value(u"Comment[zh_CN]"), u"(missing)");

    ASSERT_TRUE(entry.setEnabled(false));
    EXPECT_FALSE(entry.isEnabled());
    EXPECT_FALSE(std::filesystem::exists(entryPath()));
    EXPECT_TRUE(entry.setEnabled(false)); // already off
}

TEST_F(AutostartEntryTest, AnEntrySwitchedOffBySessionSettingsCountsAsOff) {
    const AutostartEntry entry(entryPath(), "/usr/lib/tavrik/tavrik");
    const struct {
        std::u16string_view key;
        std::u16string_view value;
        bool enabled;
    } cases[] = {
        {u"Hidden", u"true", false},
        {u"X-GNOME-Autostart-enabled", u"false", false},
        {u"Hidden", u"false", true},
        {u"X-GNOME-Autostart-enabled", u"true", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.key.begin(), c.key.end()));
        ASSERT_TRUE(entry.setEnabled(true));
        // As session settings change an entry.
        platform::IniDocument edited = platform::IniDocument::parse(readTextFile(entryPath()));
        edited.setValue(u"Desktop Entry", c.key, c.value);
        std::ofstream(entryPath(), std::ios::trunc) << edited.bytes();
        EXPECT_EQ(entry.isEnabled(), c.enabled);
        // Switching it on writes a whole entry of its own again.
        ASSERT_TRUE(entry.setEnabled(true));
        EXPECT_TRUE(entry.isEnabled());
    }
}

TEST_F(AutostartEntryTest, AnEntryThatCannotBeWrittenSaysSo) {
    std::ofstream(folder_.file("config")) << "a file where the folder would be";
    const AutostartEntry entry(entryPath(), "/usr/lib/tavrik/tavrik");
    EXPECT_FALSE(entry.setEnabled(true));
    EXPECT_FALSE(entry.isEnabled());
    EXPECT_FALSE(AutostartEntry("", "/usr/lib/tavrik/tavrik").setEnabled(true));
}

TEST_F(AutostartEntryTest, TheEntryLivesInTheUsersConfigurationFolder) {
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string restore = savedConfig != nullptr ? savedConfig : "";
    const char* savedHome = std::getenv("HOME");
    const std::string restoreHome = savedHome != nullptr ? savedHome : "";

    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_CONFIG_HOME", "/var/config", 1);
    EXPECT_EQ(AutostartEntry::defaultEntryPath(), "/var/config/autostart/tavrik.desktop");
    ::setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(AutostartEntry::defaultEntryPath(), "/home/someone/.config/autostart/tavrik.desktop");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(AutostartEntry::defaultEntryPath(), "/home/someone/.config/autostart/tavrik.desktop");

    savedConfig != nullptr ? ::setenv("XDG_CONFIG_HOME", restore.c_str(), 1)
                           : ::unsetenv("XDG_CONFIG_HOME");
    savedHome != nullptr ? ::setenv("HOME", restoreHome.c_str(), 1) : ::unsetenv("HOME");
}

TEST(DesktopExecArgument, PathsThatNeedItAreQuotedAndEscaped) {
    const struct {
        const char* path;
        const char* argument;
    } cases[] = {
        {"/usr/lib/tavrik/tavrik", "/usr/lib/tavrik/tavrik"},
        {"/opt/my tools/tavrik", "\"/opt/my tools/tavrik\""},
        {"/opt/100%/tavrik", "/opt/100%%/tavrik"},
        {"/opt/a$b/tavrik", "\"/opt/a\\\\$b/tavrik\""},
        {"/opt/say \"hi\"/tavrik", "\"/opt/say \\\\\"hi\\\\\"/tavrik\""},
        {"/opt/back\\slash/tavrik", "\"/opt/back\\\\\\\\slash/tavrik\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(desktopExecArgument(c.path), c.argument) << c.path;
    }
    EXPECT_EQ(desktopStringValue("a\\b\nc\td"), "a\\\\b\\nc\\td");
}

} // namespace
} // namespace tavrik::app
