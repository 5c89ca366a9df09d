#include "sync/ProfileTransfer.h"

#include "profile/ProfileFile.h"
#include "sync/ProfileActivation.h"
#include "sync/ProfileFileStore.h"
#include "sync/WorkingFile.h"
#include "tests/support/ProfileFixture.h"

#include <filesystem>
#include <poll.h>
#include <sys/inotify.h>
#include <thread>
#include <unistd.h>

namespace tavrik::profile::testing {
namespace {

// What moves profiles between the keyboard, files and the working set.
using namespace tavrik::sync;

using keyboard::AssignmentType;
using keyboard::KeyAssignment;

Bytes workingTableBytes() {
    const auto lock = sync::lockWorkingSet();
    const auto bytes = sync::workingSet().table.bytes();
    return Bytes(bytes.begin(), bytes.end());
}

// A profile file with one macro and one key assigned to it, written by this
// program from a working set made for the purpose.
std::string writeSampleFile(const std::string& path) {
    {
        auto lock = sync::lockWorkingSet();
        sync::WorkingSet& set = sync::workingSet();
        set.macros = {makeMacro(1, u"imported")};
        set.table.storeRecord(0, 0x1E, KeyAssignment{AssignmentType::PlayMacro, 1, 1, 0, 0});
    }
    EXPECT_TRUE(writeProfileFile(path, true));
    sync::resetDataSets();
    return path;
}

TEST_F(ProfileTest, TheWorkingFileIsOneFileForEveryProfile) {
    EXPECT_EQ(workingFilePath(0), workingFile());
    EXPECT_EQ(workingFilePath(1), workingFile());
    EXPECT_EQ(workingFilePath(2), workingFile());
    EXPECT_TRUE(std::filesystem::is_directory(userFolder()));

    // It is saved only once it exists.
    EXPECT_FALSE(saveWorkingFile(true));
    EXPECT_FALSE(std::filesystem::exists(workingFile()));
    createWorkingFile();
    EXPECT_TRUE(saveWorkingFile(true));
    EXPECT_EQ(readFile(workingFile()).size(), 32832u);

    platform::resetPathSet();
    EXPECT_EQ(workingFilePath(0), "");
    EXPECT_FALSE(saveWorkingFile(true));
}

TEST_F(ProfileTest, ARejectedImportShowsItsMessagesAndChangesNothing) {
    Bytes tooMany = readFile(writeSampleFile(folder.file("many.fwc")));
    platform::writeU16(tooMany.data() + 14, 101);
    writeFile(folder.file("many.fwc"), tooMany);
    {
        auto lock = sync::lockWorkingSet();
        sync::workingSet().macros = {makeMacro(3, u"mine")};
    }
    createWorkingFile();
    ASSERT_TRUE(saveWorkingFile(true));
    const Bytes workingBefore = readFile(workingFile());
    const Bytes tableBefore = workingTableBytes();

    // A header that fails a check: the format message, then the import message.
    EXPECT_FALSE(importProfileFrom(folder.file("many.fwc")).accepted);
    EXPECT_EQ(prompter.messages(), (std::vector<std::u16string>{
                                       u"wrong file format, revert to the default values: \n  " +
                                           platform::toUtf16(folder.file("many.fwc")),
                                       u"File format error, import failed! "}));

    // A file too short to hold a table: the import message only.
    Bytes shortFile = tooMany;
    shortFile.resize(32831);
    writeFile(folder.file("short.fwc"), shortFile);
    EXPECT_FALSE(importProfileFrom(folder.file("short.fwc")).accepted);
    EXPECT_EQ(prompter.messages().size(), 3u);
    EXPECT_EQ(prompter.messages().back(), u"File format error, import failed! ");

    EXPECT_EQ(workingTableBytes(), tableBefore);
    EXPECT_EQ(sync::macroCount(), 1u);
    EXPECT_EQ(readFile(workingFile()), workingBefore);
    EXPECT_TRUE(window.callsOf("apply").empty());
}

TEST_F(ProfileTest, AnAcceptedImportReplacesTheWorkingSetAndTheWorkingFile) {
    const std::string path = writeSampleFile(folder.file("sample.fwc"));
    createWorkingFile();
    sync::setMacroCapacity(255 * 128);

    const ImportOutcome outcome = importProfileFrom(path);
    EXPECT_TRUE(outcome.accepted);
    EXPECT_TRUE(outcome.workingFileSaved);
    EXPECT_FALSE(outcome.keyboardWritten); // no keyboard
    EXPECT_EQ(sync::macroCount(), 1u);
    EXPECT_EQ(sync::macroIdAtIndex(0), 1);
    EXPECT_EQ(readFile(workingFile()), readFile(path));
    EXPECT_EQ(window.callsOf("refresh").size(), 1u);
    // The keyboard did not get the profile, so the change is still pending.
    ASSERT_EQ(window.callsOf("apply").size(), 1u);
    EXPECT_EQ(window.callsOf("apply")[0].first, 1u);
    EXPECT_TRUE(prompter.messages().empty());
}

// The import reads its file once: a file removed after it was checked, while
// the import waits for the working set, still gives what was checked.
TEST_F(ProfileTest, AnImportLoadsTheBytesItCheckedEvenWhenTheFileGoesAway) {
    const std::string path = writeSampleFile(folder.file("sample.fwc"));
    const Bytes sample = readFile(path);
    createWorkingFile();
    sync::setMacroCapacity(255 * 128);
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, path.c_str(), IN_CLOSE_NOWRITE), 0);

    ImportOutcome outcome;
    std::thread importer;
    {
        const auto lock = sync::lockWorkingSet();
        importer = std::thread([&] { outcome = importProfileFrom(path); });
        // The import has read the file and now waits for the lock.
        pollfd readable{watch, POLLIN, 0};
        EXPECT_EQ(::poll(&readable, 1, 10000), 1);
        std::filesystem::remove(path);
    }
    importer.join();
    ::close(watch);

    EXPECT_TRUE(outcome.accepted);
    EXPECT_TRUE(outcome.workingFileSaved);
    EXPECT_EQ(sync::macroCount(), 1u);
    EXPECT_EQ(sync::macroIdAtIndex(0), 1);
    EXPECT_EQ(readFile(workingFile()), sample);
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(ProfileTest, AnExportThatCannotBeSavedSaysWhereAndWhy) {
    const std::string path = folder.file("missing/chosen.fwc");
    prompter.choosePath(path);
    EXPECT_FALSE(exportProfile());
    ASSERT_EQ(prompter.messages().size(), 1u);
    const std::u16string told = prompter.messages()[0];
    EXPECT_NE(told.find(platform::toUtf16(path)), std::u16string::npos);
    EXPECT_NE(told.find(u"No such file or directory"), std::u16string::npos);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ProfileTest, ExportAndImportGoThroughTheirFileDialogs) {
    {
        auto lock = sync::lockWorkingSet();
        sync::workingSet().macros = {makeMacro(7, u"exported")};
    }
    prompter.choosePath(std::nullopt);
    EXPECT_FALSE(exportProfile());
    EXPECT_FALSE(importProfile().accepted);

    const std::string path = folder.file("chosen.fwc");
    prompter.choosePath(path);
    ASSERT_TRUE(exportProfile());
    EXPECT_EQ(validateProfileFile(path), 1);
    EXPECT_EQ(readFile(path).size(), 32832u + 16512u);
    // Said as a backup says it: where the file went.
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0], u"The profile is exported to " + platform::toUtf16(path));

    sync::resetDataSets();
    EXPECT_TRUE(importProfile().accepted);
    EXPECT_EQ(sync::macroIdAtIndex(0), 7);

    const auto requests = prompter.requests();
    ASSERT_EQ(requests.size(), 4u);
    for (const auto& request : requests) {
        EXPECT_EQ(request.defaultExtension, u"fwc");
        EXPECT_EQ(request.initialName, u"*.fwc");
        EXPECT_EQ(request.filter, u"(*.fwc)|*.fwc|(*.*)|*.*||");
    }
    EXPECT_TRUE(requests[0].confirmOverwrite);  // export
    EXPECT_FALSE(requests[1].confirmOverwrite); // import
    // The dialogs start in the user data folder until a file is chosen,
    // then where it was.
    EXPECT_TRUE(std::filesystem::is_directory(userFolder()));
    for (const std::size_t request : {0u, 1u, 2u}) {
        EXPECT_EQ(requests[request].startFolder, userFolder()) << request;
    }
    EXPECT_EQ(requests[3].startFolder, folder.path());
}

// A keyboard that went away again before it could be read leaves the user's
// working set as it was: defaults in its place would reach the keyboard with
// the next Apply.
TEST_F(ProfileTest, AReloadWithoutAKeyboardChangesNothing) {
    {
        auto lock = sync::lockWorkingSet();
        sync::workingSet().macros = {makeMacro(1, u"mine")};
    }
    window.presetApplyEnabled(true);
    EXPECT_FALSE(reloadFromKeyboard());
    EXPECT_EQ(sync::macroCount(), 1u);
    EXPECT_TRUE(window.calls().empty());
    EXPECT_TRUE(window.isApplyEnabled());
    EXPECT_TRUE(prompter.messages().empty()) << "no keyboard is there to fail";
    EXPECT_FALSE(std::filesystem::exists(workingFile()));
    EXPECT_FALSE(setActiveProfile(1));
    EXPECT_EQ(device::cachedActiveProfile(), -1);
}

} // namespace
} // namespace tavrik::profile::testing
