#include "service/virtual/StateFile.h"

#include "platform/ByteOrder.h"
#include "platform/Crc32.h"
#include "service/virtual/DefaultLayout.h"
#include "tests/support/TemporaryFolder.h"

#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tavrik::service {
namespace {

using platform::crc32;

std::unique_ptr<KeyboardMemory> distinctiveMemory() {
    auto memory = std::make_unique<KeyboardMemory>(KeyboardMemory::factoryFresh());
    memory->info[kActiveProfileByte] = 2;
    memory->pages[700] = 0x5A;
    memory->macro.front() = 0xAA;
    memory->macro.back() = 0x55;
    memory->lighting[100] = 7;
    memory->zones[127] = 9;
    return memory;
}

// Re-seals a changed image so that only the change itself is wrong.
void reseal(std::vector<std::uint8_t>& bytes) {
    const std::size_t body = bytes.size() - 4;
    platform::writeU32(&bytes[body], crc32(std::span(bytes).first(body)));
}

TEST(Crc32, MatchesTheStandardCheckValue) {
    const std::string text = "123456789";
    EXPECT_EQ(crc32(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())),
              0xCBF43926u);
}

TEST(StateFile, EncodedMemoryDecodesToTheSameMemory) {
    const auto memory = distinctiveMemory();
    const std::vector<std::uint8_t> bytes = encodeState(*memory);
    EXPECT_EQ(bytes.size(), 8 + 5 * 6 + 44 + 1536 + 32640 + 140 + 128 + 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "TVKS");
    auto decoded = std::make_unique<KeyboardMemory>();
    ASSERT_TRUE(decodeState(bytes, *decoded));
    EXPECT_EQ(decoded->info, memory->info);
    EXPECT_EQ(decoded->pages, memory->pages);
    EXPECT_EQ(decoded->macro, memory->macro);
    EXPECT_EQ(decoded->lighting, memory->lighting);
    EXPECT_EQ(decoded->zones, memory->zones);
}

TEST(StateFile, DamagedOrForeignImagesAreRefused) {
    const std::vector<std::uint8_t> good = encodeState(*distinctiveMemory());
    const std::size_t infoHeader = 8;
    const std::size_t pagesHeader = infoHeader + 6 + 44;
    struct Case {
        const char* what;
        std::function<void(std::vector<std::uint8_t>&)> damage;
    };
    const Case cases[] = {
        {"empty", [](auto& b) { b.clear(); }},
        {"header only", [](auto& b) { b.resize(8); }},
        {"one byte short", [](auto& b) { b.pop_back(); }},
        {"one byte flipped", [](auto& b) { b[5000] ^= 1; }},
        {"other magic",
         [](auto& b) {
             b[0] = 'X';
             reseal(b);
         }},
        {"version 2",
         [](auto& b) {
             b[4] = 2;
             reseal(b);
         }},
        {"four areas",
         [](auto& b) {
             b[6] = 4;
             reseal(b);
         }},
        {"area of another size",
         [](auto& b) {
             b[infoHeader + 2] = 43;
             reseal(b);
         }},
        {"unknown area id",
         [](auto& b) {
             b[pagesHeader] = 9;
             reseal(b);
         }},
        {"key map pages under the information id",
         [](auto& b) {
             b[pagesHeader] = 1;
             reseal(b);
         }},
        {"active profile 3",
         [](auto& b) {
             b[infoHeader + 6 + 10] = 3;
             reseal(b);
         }},
        {"a byte beyond the areas",
         [](auto& b) {
             b.insert(b.end() - 4, std::uint8_t{0});
             reseal(b);
         }},
    };
    auto decoded = std::make_unique<KeyboardMemory>();
    for (const Case& c : cases) {
        std::vector<std::uint8_t> bytes = good;
        c.damage(bytes);
        EXPECT_FALSE(decodeState(bytes, *decoded)) << c.what;
    }
}

TEST(StateFile, TheHardwareDescriptionComesFromTheKeyboardNotTheFile) {
    std::vector<std::uint8_t> bytes = encodeState(*distinctiveMemory());
    const std::size_t info = 8 + 6;
    bytes[info + 11] = 4;  // macro memory
    bytes[info + 12] = 99; // first effect
    reseal(bytes);
    auto decoded = std::make_unique<KeyboardMemory>();
    ASSERT_TRUE(decodeState(bytes, *decoded));
    EXPECT_EQ(decoded->info[11], 255);
    EXPECT_EQ(decoded->info[12], 1);
    EXPECT_EQ(decoded->info[kActiveProfileByte], 2);
}

TEST(StateFile, SavedFilesLoadAndMissingOrBrokenOnesGiveAFreshKeyboard) {
    tavrik::testing::TemporaryFolder folder;
    const std::string path = folder.file("deeper/still/keyboard.state");
    auto memory = std::make_unique<KeyboardMemory>();
    EXPECT_EQ(loadStateFile(path, *memory), StateLoad::Missing);
    EXPECT_EQ(std::vector<std::uint8_t>(memory->pages.begin(), memory->pages.begin() + 512),
              std::vector<std::uint8_t>(defaultLayout().begin(), defaultLayout().end()));

    ASSERT_TRUE(saveStateFile(path, *distinctiveMemory()));
    ASSERT_EQ(loadStateFile(path, *memory), StateLoad::Loaded);
    EXPECT_EQ(memory->macro.back(), 0x55);

    std::ofstream(path, std::ios::trunc) << "not a keyboard";
    EXPECT_EQ(loadStateFile(path, *memory), StateLoad::Corrupt);
    EXPECT_EQ(memory->macro.back(), 0);
    EXPECT_EQ(loadStateFile(folder.path(), *memory), StateLoad::Corrupt) << "a folder";
}

TEST(StateFile, PathFromTheEnvironment) {
    struct Case {
        const char* state;
        const char* stateHome;
        const char* home;
        std::string expected;
    };
    const Case cases[] = {
        {"/x/kb.state", "/s", "/h", "/x/kb.state"},
        {nullptr, "/s", "/h", "/s/tavrik/virtual-keyboard.state"},
        {"", "/s", "/h", "/s/tavrik/virtual-keyboard.state"},
        {nullptr, nullptr, "/h", "/h/.local/state/tavrik/virtual-keyboard.state"},
        {nullptr, "relative", "/h", "/h/.local/state/tavrik/virtual-keyboard.state"},
    };
    const auto set = [](const char* name, const char* value) {
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    };
    const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    for (const Case& c : cases) {
        set("VEZAROR_VIRTUAL_STATE", c.state);
        set("XDG_STATE_HOME", c.stateHome);
        set("HOME", c.home);
        EXPECT_EQ(stateFilePathFromEnvironment(), c.expected);
    }
    ::unsetenv("VEZAROR_VIRTUAL_STATE");
    ::unsetenv("XDG_STATE_HOME");
    ::setenv("HOME", savedHome.c_str(), 1);
}

} // namespace
} // namespace tavrik::service
