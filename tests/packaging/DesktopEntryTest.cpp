// The desktop entry, the autostart entry the program writes and the AppStream
// metainfo, each through its validator.

#include "app/tray/AutostartEntry.h"
#include "tests/packaging/PackagingSupport.h"
#include "tests/support/TemporaryFolder.h"

namespace tavrik::packaging {
namespace {

const std::string kPackaging = TAVRIK_SOURCE_DIR "/packaging/";

class DesktopEntryTest : public ::testing::Test {
protected:
    CommandOutcome run(std::vector<std::string> arguments) {
        return tavrik::testing::runCommand(std::move(arguments), scratch_.path());
    }

    tavrik::testing::TemporaryFolder scratch_;
};

TEST_F(DesktopEntryTest, TheApplicationEntryPassesTheValidator) {
    TAVRIK_REQUIRE_TOOL("desktop-file-validate", scratch_.path());
    const CommandOutcome checked =
        run({"desktop-file-validate", kPackaging + "org.tavrik.Tavrik.desktop"});
    EXPECT_EQ(checked.status, 0) << describe(checked);
    EXPECT_EQ(checked.out + checked.err, "") << "warnings count too";

    const std::string entry = readTextFile(kPackaging + "org.tavrik.Tavrik.desktop");
    for (const char* line : {"\nExec=tavrik\n", "\nIcon=org.tavrik.Tavrik\n", "\nName[zh_CN]=",
                             "\nComment[zh_CN]=", "\nCategories=Settings;HardwareSettings;\n"}) {
        EXPECT_NE(entry.find(line), std::string::npos) << line;
    }
}

// Whatever the program's path, the entry that "Start with the desktop"
// writes is a valid one.
TEST_F(DesktopEntryTest, TheAutostartEntryPassesTheValidatorForAnyProgramPath) {
    TAVRIK_REQUIRE_TOOL("desktop-file-validate", scratch_.path());
    for (const char* program : {"/usr/lib/tavrik/tavrik", "/opt/my tools/tavrik",
                                "/home/u/100% $HOME \"q\"/tavrik", "/home/u/back\\slash/tavrik"}) {
        SCOPED_TRACE(program);
        const std::string path = scratch_.file("autostart/tavrik.desktop");
        ASSERT_TRUE(app::AutostartEntry(path, program).setEnabled(true));
        const CommandOutcome checked = run({"desktop-file-validate", path});
        EXPECT_EQ(checked.status, 0) << describe(checked);
        EXPECT_EQ(checked.out + checked.err, "");
    }
}

TEST_F(DesktopEntryTest, TheMetainfoPassesTheValidatorAndNamesTheEntry) {
    TAVRIK_REQUIRE_TOOL("appstreamcli", scratch_.path());
    const std::string metainfo = kPackaging + "org.tavrik.Tavrik.metainfo.xml";
    const CommandOutcome checked = run({"appstreamcli", "validate", "--no-net", metainfo});
    EXPECT_EQ(checked.status, 0) << describe(checked);

    const std::string text = readTextFile(metainfo);
    EXPECT_NE(text.find("<id>org.tavrik.Tavrik</id>"), std::string::npos);
    EXPECT_NE(text.find("<launchable type=\"desktop-id\">org.tavrik.Tavrik.desktop</launchable>"),
              std::string::npos);
    EXPECT_NE(text.find("<summary xml:lang=\"zh-CN\">"), std::string::npos);
}

} // namespace
} // namespace tavrik::packaging
