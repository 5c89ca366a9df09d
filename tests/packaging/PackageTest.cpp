// The Debian package as `cpack -G DEB` builds it, looked into with dpkg-deb,
// and its dependencies resolved by apt as an installation would.

#include "tests/packaging/PackagingSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <filesystem>
#include <sys/stat.h>

namespace tavrik::packaging {
namespace {

namespace fs = std::filesystem;

class PackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = new tavrik::testing::TemporaryFolder();
        built_ = new CommandOutcome(
            tavrik::testing::runCommand({CPACK_COMMAND, "-G", "DEB", "-B", folder_->file("out"),
                                         "--config", TAVRIK_BUILD_DIR "/CPackConfig.cmake"},
                                        folder_->path()));
    }
    static void TearDownTestSuite() {
        delete built_;
        delete folder_;
    }

    void SetUp() override {
        TAVRIK_REQUIRE_TOOL("dpkg-deb", folder_->path());
        ASSERT_EQ(built_->status, 0) << describe(*built_);
        for (const fs::directory_entry& entry : fs::directory_iterator(folder_->file("out"))) {
            if (entry.path().extension() == ".deb") {
                package_ = entry.path().string();
            }
        }
        ASSERT_EQ(fs::path(package_).filename(),
                  "tavrik_" TAVRIK_VERSION "_" + architecture() + ".deb");
    }

    std::string architecture() { return linesOf(run({"dpkg", "--print-architecture"}).out).at(0); }
    CommandOutcome run(std::vector<std::string> arguments) {
        return tavrik::testing::runCommand(std::move(arguments), scratch_.path());
    }
    std::string field(const std::string& name) {
        const CommandOutcome shown = run({"dpkg-deb", "--field", package_, name});
        EXPECT_EQ(shown.status, 0) << describe(shown);
        return shown.out;
    }

    static inline tavrik::testing::TemporaryFolder* folder_ = nullptr;
    static inline CommandOutcome* built_ = nullptr;
    tavrik::testing::TemporaryFolder scratch_;
    std::string package_;
};

TEST_F(PackageTest, ThePackageHoldsTheInstallationUnderUsr) {
    const CommandOutcome listed = run({"dpkg-deb", "--contents", package_});
    ASSERT_EQ(listed.status, 0) << describe(listed);
    for (const char* entry :
         {"./usr/bin/tavrik -> ../lib/tavrik/tavrik",
          "./usr/bin/tavrikctl -> ../lib/tavrik/tavrikctl", "./usr/bin/vkbd -> ../lib/tavrik/vkbd",
          "./usr/lib/tavrik/tavrik\n", "./usr/lib/tavrik/tavrikctl\n", "./usr/lib/tavrik/vkbd\n",
          "./usr/lib/tavrik/libVezAror.so\n", "./usr/lib/tavrik/Skins/Main.ini\n",
          "./usr/lib/tavrik/Skins/language.ini\n", "./usr/lib/tavrik/Help/index.html\n",
          "./usr/lib/tavrik/Help/composite_editor.png\n",
          "./usr/lib/udev/rules.d/60-tavrik-keyboard.rules\n",
          "./usr/share/applications/org.tavrik.Tavrik.desktop\n",
          "./usr/share/metainfo/org.tavrik.Tavrik.metainfo.xml\n",
          "./usr/share/icons/hicolor/16x16/apps/org.tavrik.Tavrik.png\n",
          "./usr/share/icons/hicolor/256x256/apps/org.tavrik.Tavrik.png\n",
          "./usr/share/man/man1/tavrik.1.gz\n", "./usr/share/man/man1/tavrikctl.1.gz\n",
          "./usr/share/man/man1/vkbd.1.gz\n"}) {
        EXPECT_NE(listed.out.find(entry), std::string::npos) << entry;
    }
    EXPECT_EQ(listed.out.find("_tests"), std::string::npos);
    EXPECT_EQ(listed.out.find("skingen"), std::string::npos);
    EXPECT_EQ(listed.out.find("/usr/local"), std::string::npos);
    // Every file belongs to root.
    for (const std::string& line : linesOf(listed.out)) {
        EXPECT_NE(line.find(" root/root "), std::string::npos) << line;
    }
}

TEST_F(PackageTest, ItDependsOnQtWidgetsAndHidapiAndReloadsUdevRules) {
    EXPECT_EQ(field("Package"), "tavrik\n");
    EXPECT_EQ(field("Version"), TAVRIK_VERSION "\n");
    const std::string depends = field("Depends");
    for (const char* library : {"libqt6widgets6", "libqt6gui6", "libqt6core6", "libhidapi-hidraw0",
                                "libc6", "libstdc++6"}) {
        EXPECT_NE(depends.find(library), std::string::npos) << depends;
    }

    const std::string control = scratch_.file("control");
    ASSERT_EQ(run({"dpkg-deb", "--control", package_, control}).status, 0);
    for (const char* script : {"postinst", "postrm"}) {
        struct stat status {};
        ASSERT_EQ(::stat((control + "/" + script).c_str(), &status), 0) << script;
        EXPECT_EQ(status.st_mode & 0777, 0755u) << script;
        EXPECT_NE(readTextFile(control + "/" + script).find("udevadm control --reload-rules"),
                  std::string::npos)
            << script;
        const CommandOutcome syntax = run({"sh", "-n", control + "/" + script});
        EXPECT_EQ(syntax.status, 0) << describe(syntax);
    }
    EXPECT_NE(readTextFile(control + "/postinst").find("udevadm trigger"), std::string::npos);
}

// What `apt install ./tavrik_*.deb` would do here, without doing it.
TEST_F(PackageTest, AptCanInstallItWithItsDependencies) {
    TAVRIK_REQUIRE_TOOL("apt-get", scratch_.path());
    const CommandOutcome simulated = run({"apt-get", "install", "--simulate", "-q", package_});
    EXPECT_EQ(simulated.status, 0) << describe(simulated);
    EXPECT_NE(simulated.out.find("Inst tavrik "), std::string::npos) << simulated.out;
}

} // namespace
} // namespace tavrik::packaging
