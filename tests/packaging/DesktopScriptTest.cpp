// The desktop scripts shipped in packaging/ (the KWin script, the GNOME
// Shell extension): no desktop runs here, so each script is checked for
// syntax by node and each metadata.json read as JSON, with the fields the
// desktop finds the script by.

#include "tests/packaging/PackagingSupport.h"
#include "tests/support/TemporaryFolder.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>

namespace tavrik::packaging {
namespace {

namespace fs = std::filesystem;

const fs::path kPackaging = fs::path(TAVRIK_SOURCE_DIR) / "packaging";

// An ES module (GNOME Shell 45 and later) imports and exports; node checks
// it as one only under a .mjs name.
bool isModule(const std::string& text) {
    for (const std::string& line : linesOf(text)) {
        if (line.starts_with("import ") || line.starts_with("export ")) {
            return true;
        }
    }
    return false;
}

// node's word on a script: an empty text when its syntax is sound.
std::string syntaxErrorsOf(const fs::path& script,
                           const tavrik::testing::TemporaryFolder& scratch) {
    std::string checked = script.string();
    const std::string text = readTextFile(checked);
    if (isModule(text)) {
        checked = scratch.file(script.stem().string() + ".mjs");
        std::ofstream(checked) << text;
    }
    const CommandOutcome outcome =
        tavrik::testing::runCommand({"node", "--check", checked}, scratch.path());
    return outcome.status == 0 ? std::string() : describe(outcome);
}

std::vector<fs::path> shipped(const std::string& name) {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(kPackaging)) {
        if (entry.is_regular_file() &&
            (entry.path().extension() == name || entry.path().filename() == name)) {
            files.push_back(entry.path());
        }
    }
    return files;
}

QJsonObject jsonOf(const fs::path& file, QJsonParseError& error) {
    const std::string text = readTextFile(file.string());
    return QJsonDocument::fromJson(QByteArray::fromStdString(text), &error).object();
}

TEST(DesktopScriptTest, EveryShippedScriptHasSoundSyntax) {
    tavrik::testing::TemporaryFolder scratch;
    TAVRIK_REQUIRE_TOOL("node", scratch.path());
    const std::vector<fs::path> scripts = shipped(".js");
    ASSERT_GE(scripts.size(), 2u);
    for (const fs::path& script : scripts) {
        EXPECT_EQ(syntaxErrorsOf(script, scratch), "") << script;
    }
}

// The check above fails where it should: scripts and modules with a fault.
TEST(DesktopScriptTest, TheSyntaxCheckFindsBrokenScripts) {
    tavrik::testing::TemporaryFolder scratch;
    TAVRIK_REQUIRE_TOOL("node", scratch.path());
    struct Case {
        const char* name;
        const char* text;
        bool sound;
    };
    for (const Case& item : {
             Case{"plain.js", "function init() { return 1; }\n", true},
             Case{"module.js", "import Gio from 'gi://Gio';\nexport default class A {}\n", true},
             Case{"unclosed.js", "function init() { return 1;\n", false},
             Case{"brokenmodule.js", "import Gio from 'gi://Gio';\nexport default class {\n",
                  false},
             Case{"stray.js", "workspace.windowActivated.connect(tell));\n", false},
         }) {
        SCOPED_TRACE(item.name);
        const fs::path script = scratch.file(item.name);
        std::ofstream(script) << item.text;
        EXPECT_EQ(syntaxErrorsOf(script, scratch).empty(), item.sound);
    }
}

TEST(DesktopScriptTest, EveryMetadataFileIsJsonThatNamesItsScript) {
    const std::vector<fs::path> files = shipped("metadata.json");
    ASSERT_EQ(files.size(), 3u);
    QJsonArray gnomeVersions;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        QJsonParseError error;
        const QJsonObject metadata = jsonOf(file, error);
        ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        // Each desktop finds the script by its folder's name.
        const std::string folder = file.parent_path().filename().string();
        if (metadata.contains(QStringLiteral("KPlugin"))) {
            const QJsonObject plugin = metadata.value(QStringLiteral("KPlugin")).toObject();
            EXPECT_EQ(plugin.value(QStringLiteral("Id")).toString().toStdString(), folder);
            EXPECT_EQ(plugin.value(QStringLiteral("Name")).toString(),
                      QStringLiteral("Tavrik focus"));
            EXPECT_EQ(metadata.value(QStringLiteral("X-Plasma-API")).toString(),
                      QStringLiteral("javascript"));
            const std::string main =
                metadata.value(QStringLiteral("X-Plasma-MainScript")).toString().toStdString();
            EXPECT_TRUE(fs::is_regular_file(file.parent_path() / "contents" / main)) << main;
        } else {
            EXPECT_EQ(metadata.value(QStringLiteral("uuid")).toString().toStdString(), folder);
            const fs::path script = file.parent_path() / "extension.js";
            ASSERT_TRUE(fs::is_regular_file(script));
            // A shell of 45 or later loads ES modules only, an older one
            // none: each extension claims only the shells that can load it.
            const bool module = isModule(readTextFile(script.string()));
            const QJsonArray versions = metadata.value(QStringLiteral("shell-version")).toArray();
            ASSERT_FALSE(versions.isEmpty());
            for (const QJsonValue& version : versions) {
                EXPECT_EQ(version.toString().toInt() >= 45, module)
                    << version.toString().toStdString();
                gnomeVersions.append(version);
            }
        }
    }
    EXPECT_TRUE(gnomeVersions.contains(QStringLiteral("43"))) << "the shell of Debian 12";
    EXPECT_TRUE(gnomeVersions.contains(QStringLiteral("47"))) << "a shell of today";
}

// The KWin script's metadata is filled in at configure time: the build's
// copy still reads as JSON and carries the version.
TEST(DesktopScriptTest, TheBuiltKWinMetadataCarriesTheVersion) {
    QJsonParseError error;
    const QJsonObject metadata =
        jsonOf(fs::path(TAVRIK_BUILD_DIR) / "packaging/kwin/tavrik-focus/metadata.json", error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(metadata.value(QStringLiteral("KPlugin"))
                  .toObject()
                  .value(QStringLiteral("Version"))
                  .toString(),
              QStringLiteral(TAVRIK_VERSION));
}

} // namespace
} // namespace tavrik::packaging
