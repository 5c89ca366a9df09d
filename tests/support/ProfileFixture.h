#pragma once
// Every profile test starts from a fresh working set, a user data folder in a
// temporary folder and recording ports, and leaves the process-wide state as
// it found it.

#include "device/Commands.h"
#include "device/DeviceState.h"
#include "device/StartFlags.h"
#include "keyboard/StringTable.h"
#include "macro/MacroRecord.h"
#include "platform/AtomicFile.h"
#include "platform/ByteOrder.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "platform/Unicode.h"
#include "sync/DataSets.h"
#include "sync/DeviceMemory.h"
#include "tests/support/RecordingPorts.h"
#include "tests/support/TemporaryFolder.h"
#include "text/LanguageTexts.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace tavrik::profile::testing {

using Bytes = std::vector<std::uint8_t>;

inline void resetProcessState() {
    platform::resetPorts();
    platform::setWriteFunctionForTesting(nullptr);
    sync::resetDataSets();
    device::resetDeviceState();
    sync::resetDeviceMemory();
    device::resetStartFlags();
    device::setCachedActiveProfile(-1);
    platform::resetPathSet();
    text::resetLanguageTexts();
}

class ProfileTest : public ::testing::Test {
protected:
    ProfileTest() {
        resetProcessState();
        platform::PathSet paths;
        paths.userDataFolder = folder.path() + "/Tavrik_09A";
        platform::installPathSet(paths);
        platform::installMainWindowPort(&window);
        platform::installPrompter(&prompter);
    }
    ~ProfileTest() override { resetProcessState(); }

    std::string userFolder() const { return folder.path() + "/Tavrik_09A"; }
    std::string workingFile() const { return userFolder() + "/$Profile0"; }
    // An empty working file, as if the keyboard had never been read.
    void createWorkingFile() const {
        std::filesystem::create_directories(userFolder());
        std::ofstream(workingFile(), std::ios::binary | std::ios::trunc);
    }

    tavrik::testing::TemporaryFolder folder;
    tavrik::testing::RecordingWindow window;
    tavrik::testing::RecordingPrompter prompter;
};

inline Bytes readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

inline macro::MacroRecord makeMacro(std::uint16_t id, std::u16string_view name,
                                    std::size_t actionCount = 2) {
    macro::MacroRecord record;
    record.setName(name);
    record.setCycles(1);
    record.setId(id);
    std::vector<macro::MacroAction> actions;
    for (std::size_t i = 0; i < actionCount; ++i) {
        actions.push_back({static_cast<std::int32_t>(10 * i), std::uint16_t{0x1E},
                           static_cast<std::uint16_t>(i % 2)});
    }
    record.setActions(actions);
    return record;
}

// A record of the working set with a string, as a loaded profile file gives it.
inline void putString(sync::WorkingSet& set, int layer, int row, keyboard::AssignmentType type,
                      std::u16string_view text) {
    keyboard::KeyAssignment record;
    record.type = type;
    set.table.storeRecord(layer, row, record);
    set.strings.set(*keyboard::StringTable::entryOf(layer, row), text);
}

inline std::uint32_t u32At(const Bytes& bytes, std::size_t offset) {
    return platform::readU32(bytes.data() + offset);
}

inline std::uint16_t u16At(const Bytes& bytes, std::size_t offset) {
    return platform::readU16(bytes.data() + offset);
}

// UTF-16LE bytes of text with its terminator.
inline Bytes utf16Bytes(std::u16string_view text, bool terminated = true) {
    Bytes bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    if (terminated) {
        bytes.push_back(0);
        bytes.push_back(0);
    }
    return bytes;
}

} // namespace tavrik::profile::testing
