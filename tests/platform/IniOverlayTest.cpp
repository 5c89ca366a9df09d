#include "platform/IniOverlay.h"

#include "platform/IniFile.h"
#include "tests/platform/IniTestFiles.h"
#include "tests/support/TemporaryFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace tavrik::platform {
namespace {

using testing::readBytes;
using testing::writeBytes;

class IniOverlayTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(program() + "/Skins");
        ASSERT_TRUE(writeBytes(program() + "/Skins/Main.ini", kOriginal));
    }
    void TearDown() override { resetIniOverlay(); }

    // The program folder is read-only unless a test says otherwise.
    void configure(bool programFolderWritable, std::string programFolder = {}) {
        setIniOverlay(
            {programFolder.empty() ? program() : programFolder, overlay(),
             [programFolderWritable](const std::string&) { return programFolderWritable; }});
    }
    std::string program() const { return root_.file("program"); }
    std::string overlay() const { return root_.file("overlay"); }

    static constexpr std::string_view kOriginal = "[Mode]\n1=Static\n2=Breath\n";
    testing::TemporaryFolder root_;
};

TEST_F(IniOverlayTest, WriteToAReadOnlyProgramFolderGoesToACopyThatLaterReadsPrefer) {
    configure(false);
    IniFile file(program() + "/Skins/Main.ini");
    ASSERT_TRUE(file.writeString(u"Mode", u"2", u"Wave"));
    EXPECT_EQ(readBytes(program() + "/Skins/Main.ini"), kOriginal);
    EXPECT_EQ(readBytes(overlay() + "/Skins/Main.ini"), "[Mode]\n1=Static\n2=Wave\n");
    EXPECT_EQ(file.readString(u"Mode", u"2", u""), u"Wave");
    EXPECT_EQ(file.readString(u"Mode", u"1", u""), u"Static");

    // Once the copy exists every write goes there, writable folder or not.
    configure(true);
    ASSERT_TRUE(file.writeString(u"Mode", u"3", u"Ripple"));
    EXPECT_EQ(readBytes(program() + "/Skins/Main.ini"), kOriginal);
    EXPECT_EQ(file.readString(u"Mode", u"3", u""), u"Ripple");
}

TEST_F(IniOverlayTest, WritableProgramFolderAndFilesElsewhereAreWrittenInPlace) {
    configure(true, program() + "/");
    IniFile file(program() + "/Skins/Main.ini");
    ASSERT_TRUE(file.writeString(u"Mode", u"2", u"Wave"));
    EXPECT_EQ(readBytes(program() + "/Skins/Main.ini"), "[Mode]\n1=Static\n2=Wave\n");
    EXPECT_FALSE(std::filesystem::exists(overlay()));

    configure(false);
    const std::string outside = root_.file("documents.ini");
    for (const std::string& path : {outside, program() + "/../documents.ini"}) {
        ASSERT_TRUE(IniFile(path).writeString(u"KEYCOLOR", u"DengCheck", u"1"));
        EXPECT_EQ(readBytes(outside), "[KEYCOLOR]\nDengCheck=1\n");
    }
    EXPECT_FALSE(std::filesystem::exists(overlay()));
}

TEST_F(IniOverlayTest, TheRealCheckSendsWritesForAMissingFolderToTheOverlay) {
    setIniOverlay({program(), overlay(), {}});
    IniFile file(program() + "/NoSuchFolder/UserDengColor_0.userd");
    ASSERT_TRUE(file.writeString(u"Mode0", u"tool", u"1"));
    EXPECT_EQ(readBytes(overlay() + "/NoSuchFolder/UserDengColor_0.userd"), "[Mode0]\ntool=1\n");
}

TEST_F(IniOverlayTest, OnlyFilesBelowTheProgramFolderAreOverlaidHoweverThePathIsWritten) {
    struct Case {
        std::string programFolder;
        std::string path;
        std::string destination;
    };
    const std::string p = program();
    const std::string o = overlay();
    const Case cases[] = {
        {p, p + "/Skins/Main.ini", o + "/Skins/Main.ini"},
        {p + "/", p + "/Skins/Main.ini", o + "/Skins/Main.ini"},
        {p, p + "/./Skins//Main.ini", o + "/Skins/Main.ini"},
        {p, p + "/Help/../Skins/Main.ini", o + "/Skins/Main.ini"},
        {p + "/Help/..", p + "/Skins/Main.ini", o + "/Skins/Main.ini"},
        // A sibling whose name starts with the program folder's is outside.
        {p, p + "2/Skins/Main.ini", p + "2/Skins/Main.ini"},
        {p, p + "/../x.ini", p + "/../x.ini"},
        {p, p, p},
    };
    for (const Case& c : cases) {
        configure(false, c.programFolder);
        EXPECT_EQ(iniWriteTarget(c.path).destination, c.destination)
            << c.programFolder << " " << c.path;
    }
}

TEST_F(IniOverlayTest, NoOverlayUntilConfigured) {
    resetIniOverlay();
    const std::string path = program() + "/Skins/Main.ini";
    EXPECT_EQ(iniReadPath(path), path);
    const IniWriteTarget target = iniWriteTarget(path);
    EXPECT_EQ(target.destination, path);
    EXPECT_FALSE(target.inOverlay);
}

class EnvironmentVariable {
public:
    explicit EnvironmentVariable(const char* name) : name_(name) {
        const char* value = std::getenv(name);
        if (value != nullptr) {
            saved_ = value;
        }
    }
    ~EnvironmentVariable() {
        if (saved_) {
            ::setenv(name_, saved_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    EnvironmentVariable(const EnvironmentVariable&) = delete;
    EnvironmentVariable& operator=(const EnvironmentVariable&) = delete;

private:
    const char* name_;
    std::optional<std::string> saved_;
};

TEST(IniOverlayRoot, FollowsXdgDataHomeAndFallsBackToTheHomeFolder) {
    const EnvironmentVariable dataHome("XDG_DATA_HOME");
    const EnvironmentVariable home("HOME");
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(defaultIniOverlayRoot(), "/data/home/Tavrik_Lumora");
    ::setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
    EXPECT_EQ(defaultIniOverlayRoot(), "/home/someone/.local/share/Tavrik_Lumora");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(defaultIniOverlayRoot(), "/home/someone/.local/share/Tavrik_Lumora");
}

} // namespace
} // namespace tavrik::platform
