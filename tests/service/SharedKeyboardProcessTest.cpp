// Several real processes on one virtual keyboard, as several programs of a
// user meet one real keyboard: this test program with the real library
// loaded, tavrikctl, and shared_keyboard_probe. A process that has to wait
// for the keyboard says so on its errors (VEZAROR_DEBUG=2), which is how a
// test knows another process is held up before it lets it go.

#include "keyboard/AssignmentTable.h"
#include "profile/ProfileFile.h"
#include "service/virtual/ControlClient.h"
#include "sync/DataSets.h"
#include "tests/reliability/ChildProcess.h"
#include "tests/service/ServiceTestSupport.h"
#include "tests/support/CommandRun.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/VirtualKeyboardSession.h"

#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace tavrik::service::testing {
namespace {

using namespace std::chrono_literals;
using reliability::ChildProcess;
using tavrik::testing::readTextFile;

constexpr std::uint8_t kBeginWrite = 0x01;
constexpr std::uint8_t kEndWrite = 0x02;
constexpr std::uint8_t kReadKeyMapPage = 0x07;
constexpr std::uint8_t kWriteKeyMapPage = 0x08;
constexpr std::uint8_t kWriteMacroArea = 0x0A;

const std::string kWaiting = "VezAror: another process holds the keyboard: waiting for it";
const std::string kTavrikctl = std::string(TAVRIK_BIN_DIR) + "/tavrikctl";
const std::string kProbe = std::string(TAVRIK_BIN_DIR) + "/shared_keyboard_probe";

// A profile file of its own for each seed: other keys, other macros.
std::string writeProfileFile(const std::string& path, std::uint16_t seed) {
    sync::WorkingSet set;
    set.table = keyboard::defaultTable();
    for (int layer = 0; layer < 3; ++layer) {
        set.table.storeRecord(layer, 0x1E,
                              {keyboard::AssignmentType::SingleKey, 0,
                               static_cast<std::uint16_t>(0x30 + seed + layer)});
        set.table.storeRecord(layer, 0x2C, {keyboard::AssignmentType::PlayMacro, 0, 1});
    }
    for (std::uint16_t id = 1; id <= 2; ++id) {
        macro::MacroRecord record;
        record.setName(id == 1 ? u"first" : u"second");
        record.setCycles(static_cast<std::uint8_t>(seed));
        record.setId(id);
        std::vector<macro::MacroAction> actions;
        for (std::uint16_t i = 0; i < 600 * seed; ++i) {
            actions.push_back(
                {static_cast<std::uint16_t>(10 + i), 0x1E, static_cast<std::uint8_t>(i % 2)});
        }
        record.setActions(actions);
        set.macros.push_back(record);
    }
    const std::vector<std::uint8_t> image = profile::profileImageOf(set);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()),
               static_cast<std::streamsize>(image.size()));
    return path;
}

class SharedKeyboardProcesses : public ::testing::Test {
protected:
    SharedKeyboardProcesses() { tavrik::testing::useVirtualKeyboardIn(folder_); }

    void TearDown() override {
        if (started_) {
            lib().End();
        }
        EventLog::instance().clear();
    }

    static const ServiceExports& lib() { return serviceLibrary(); }

    // This process uses the keyboard too, through the library it loaded.
    void startHere() {
        ASSERT_GT(lib().Init(0), 0);
        started_ = true;
        std::uint32_t unit = 0;
        for (const auto& [selector, tag] : {std::pair{&kCommandSelector, VEZAROR_TAG_CTRL},
                                            std::pair{&kConsumerSelector, VEZAROR_TAG_CONS}}) {
            ASSERT_EQ(lib().RequestAsyncRead(selector, &recordingCallback, tag,
                                             sign(*selector, &recordingCallback, tag), &unit),
                      1);
        }
    }
    std::optional<RecordedEvent> exchange(const CommandPacket& packet) {
        if (lib().RequestWriteOne(&kCommandSelector, nullptr, 0, packet.data(), 64,
                                  sign(kCommandSelector, nullptr, 0, packet), 0) <= 0) {
            return std::nullopt;
        }
        return EventLog::instance().take(answerTo(packet[3]), kEventTimeout);
    }
    std::uint8_t status(const CommandPacket& packet) {
        const auto answer = exchange(packet);
        return answer && answer->data.size() == 64 ? answer->data[7] : 0xEE;
    }
    // The area in 56-byte packets; false at the first that fails.
    bool writeArea(std::uint8_t code, std::uint16_t base, const std::vector<std::uint8_t>& bytes) {
        for (std::size_t offset = 0; offset < bytes.size(); offset += 56) {
            const std::size_t length = std::min<std::size_t>(56, bytes.size() - offset);
            const std::span chunk(bytes.data() + offset, length);
            if (status(commandPacket(code, static_cast<std::uint8_t>(length),
                                     static_cast<std::uint16_t>(base + offset), chunk)) != 0) {
                return false;
            }
        }
        return true;
    }
    std::string readHere(std::uint16_t address) {
        const auto answer = exchange(commandPacket(kReadKeyMapPage, 56, address));
        if (!answer || answer->data.size() != 64 || answer->data[7] != 0) {
            return "failed";
        }
        std::string text;
        for (std::size_t i = 8; i < 64; ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02x", answer->data[i]);
            text += hex;
        }
        return text;
    }

    tavrik::testing::CommandOutcome tavrikctl(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), kTavrikctl);
        return tavrik::testing::runCommand(std::move(arguments), folder_.path());
    }
    // tavrikctl started, telling when it waits for the keyboard.
    bool startTavrikctl(ChildProcess& child, std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"/usr/bin/env", "VEZAROR_DEBUG=2", kTavrikctl});
        return child.startInteractive(std::move(arguments));
    }
    // Waits until the child waits for the keyboard; false when it ended
    // without. `meanwhile` runs now and then, to keep what this process holds.
    // Reads what the child prints to its end (it would block once its pipe
    // is full), then its exit status.
    static int finish(ChildProcess& child) {
        std::string line;
        while (child.readLine(line)) {
        }
        return child.wait();
    }
    static bool waitsForTheKeyboard(ChildProcess& child,
                                    const std::function<void()>& meanwhile = {}) {
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!child.waitForLine(kWaiting, 500ms)) {
            if (child.outputEnded() || std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            if (meanwhile) {
                meanwhile();
            }
        }
        return true;
    }

    // The keyboard's lock, taken as another process would take it.
    platform::UniqueFd holdTheKeyboard() {
        platform::UniqueFd lock(::open(folder_.file("keyboard.state.lock").c_str(),
                                       O_RDWR | O_CREAT | O_CLOEXEC, 0600));
        EXPECT_EQ(::flock(lock.get(), LOCK_EX), 0);
        return lock;
    }

    std::string control(const std::string& command) {
        ControlClient client(folder_.file("vkbd.sock"));
        std::string reply;
        std::string error;
        return client.request(command, reply, error) ? reply : "failed: " + error;
    }
    bool servedAgain() {
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (control("state").rfind("ok", 0) != 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(5ms);
        }
        return true;
    }
    std::vector<std::uint8_t> area(const std::string& name) {
        ControlClient client(folder_.file("vkbd.sock"));
        std::vector<std::uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(client.readArea(name, bytes, error)) << name << ": " << error;
        return bytes;
    }

    tavrik::testing::TemporaryFolder folder_;
    bool started_ = false;
};

std::string hexOf(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    std::string text;
    for (std::size_t i = offset; i < offset + 56 && i < bytes.size(); ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", bytes[i]);
        text += hex;
    }
    return text;
}

TEST_F(SharedKeyboardProcesses, EveryProcessReachesTheOneKeyboardWhoeverServesIt) {
    ChildProcess probe;
    ASSERT_TRUE(probe.startInteractive({kProbe}));
    ASSERT_TRUE(probe.waitForLine("ready")) << "the probe serves the keyboard";
    startHere();
    const std::vector<std::uint8_t> factory = area("page0");

    // A write of a third process is read by the other two.
    ASSERT_EQ(tavrikctl({"write", writeProfileFile(folder_.file("x.fwc"), 1)}).status, 0);
    const std::vector<std::uint8_t> page = area("page0");
    std::size_t changed = 0;
    while (changed < page.size() && hexOf(page, changed) == hexOf(factory, changed)) {
        changed += 56;
    }
    ASSERT_LT(changed, page.size()) << "the write changed nothing";
    ASSERT_TRUE(probe.send("read " + std::to_string(changed)));
    EXPECT_TRUE(probe.waitForLine("read " + hexOf(page, changed)));
    EXPECT_EQ(readHere(static_cast<std::uint16_t>(changed)), hexOf(page, changed));

    // And one of this process's, by the probe.
    const std::vector<std::uint8_t> mine(56, 0x5A);
    ASSERT_EQ(status(commandPacket(kBeginWrite)), 0);
    ASSERT_TRUE(writeArea(kWriteKeyMapPage, 1024, mine));
    ASSERT_EQ(status(commandPacket(kEndWrite)), 0);
    ASSERT_TRUE(probe.send("read 1024"));
    EXPECT_TRUE(probe.waitForLine("read " + hexOf(mine, 0)));

    // What the keyboard reports reaches every process.
    EXPECT_EQ(control("press code 6147"), "ok");
    EXPECT_TRUE(EventLog::instance().take(consumerCode(6147), kEventTimeout));
    EXPECT_TRUE(probe.waitForLine("consumer 6147"));

    // The serving process ends, as a program does, without a word: this one
    // takes over, unseen.
    probe.kill();
    ASSERT_TRUE(servedAgain());
    EXPECT_EQ(readHere(1024), hexOf(mine, 0));
    EXPECT_EQ(EventLog::instance().count([](const RecordedEvent& event) {
        return event.kind == VEZAROR_EVENT_DEVICES_CHANGED;
    }),
              0u);
    EXPECT_EQ(control("press code 6148"), "ok");
    EXPECT_TRUE(EventLog::instance().take(consumerCode(6148), kEventTimeout));
}

TEST_F(SharedKeyboardProcesses, TwoWritesAtOnceLeaveOneFileWholeAndReportOnlyWhatHappened) {
    const std::string x = writeProfileFile(folder_.file("x.fwc"), 1);
    const std::string y = writeProfileFile(folder_.file("y.fwc"), 2);
    // What the keyboard holds after each alone, as a read gives it.
    ASSERT_EQ(tavrikctl({"write", x}).status, 0);
    ASSERT_EQ(tavrikctl({"read", folder_.file("x-read.fwc")}).status, 0);
    ASSERT_EQ(tavrikctl({"write", y}).status, 0);
    ASSERT_EQ(tavrikctl({"read", folder_.file("y-read.fwc")}).status, 0);
    ASSERT_NE(readTextFile(folder_.file("x-read.fwc")), readTextFile(folder_.file("y-read.fwc")));

    startHere();
    // Answers as late as a real keyboard's: each write takes a while.
    EXPECT_EQ(control("latency 1"), "ok");
    ChildProcess first;
    ChildProcess second;
    {
        // Both start while the keyboard is held, so that both go at it the
        // moment it is free.
        const platform::UniqueFd held = holdTheKeyboard();
        ASSERT_TRUE(startTavrikctl(first, {"write", x}));
        ASSERT_TRUE(startTavrikctl(second, {"write", y}));
        EXPECT_TRUE(waitsForTheKeyboard(first));
        EXPECT_TRUE(waitsForTheKeyboard(second));
    }
    const int firstStatus = finish(first);
    const int secondStatus = finish(second);
    EXPECT_EQ(firstStatus, 0);
    EXPECT_EQ(secondStatus, 0);

    ASSERT_EQ(tavrikctl({"read", folder_.file("back.fwc")}).status, 0);
    const std::string back = readTextFile(folder_.file("back.fwc"));
    const bool holdsX = back == readTextFile(folder_.file("x-read.fwc"));
    const bool holdsY = back == readTextFile(folder_.file("y-read.fwc"));
    EXPECT_TRUE(holdsX || holdsY) << "the keyboard holds a mix of the two files";
    EXPECT_TRUE(!holdsX || firstStatus == 0);
    EXPECT_TRUE(!holdsY || secondStatus == 0);
    EXPECT_EQ(readHere(0), hexOf(area("page0"), 0)) << "this process sees the same keyboard";
}

TEST_F(SharedKeyboardProcesses, AReadDuringAnotherProcesssWriteGetsTheWholeFileItWrote) {
    const std::string x = writeProfileFile(folder_.file("x.fwc"), 1);
    const std::string y = writeProfileFile(folder_.file("y.fwc"), 2);
    ASSERT_EQ(tavrikctl({"write", y}).status, 0);
    startHere();
    // The memory of the second file, and how a read of it comes out.
    std::vector<std::vector<std::uint8_t>> pages;
    for (const char* page : {"page0", "page1", "page2"}) {
        pages.push_back(area(page));
    }
    const std::vector<std::uint8_t> macro = area("macro");
    ASSERT_EQ(tavrikctl({"read", folder_.file("y-read.fwc")}).status, 0);
    ASSERT_EQ(tavrikctl({"write", x}).status, 0);

    // This process writes the second file's memory over the first's, and a
    // read starts when one page of three is written.
    ASSERT_EQ(status(commandPacket(kBeginWrite)), 0);
    ASSERT_TRUE(writeArea(kWriteKeyMapPage, 0, pages[0]));
    ChildProcess reader;
    ASSERT_TRUE(startTavrikctl(reader, {"read", folder_.file("during.fwc")}));
    // The sequence is kept alive meanwhile, as a long write would keep it.
    const bool waited = waitsForTheKeyboard(reader, [&] { readHere(0); });
    ASSERT_TRUE(writeArea(kWriteKeyMapPage, 512, pages[1]));
    ASSERT_TRUE(writeArea(kWriteKeyMapPage, 1024, pages[2]));
    ASSERT_TRUE(writeArea(kWriteMacroArea, 0, macro));
    ASSERT_EQ(status(commandPacket(kEndWrite)), 0);
    EXPECT_TRUE(waited) << "the read went on in the middle of the write";
    EXPECT_EQ(finish(reader), 0);
    EXPECT_EQ(readTextFile(folder_.file("during.fwc")), readTextFile(folder_.file("y-read.fwc")))
        << "the read got a mix, or the first file";
}

TEST_F(SharedKeyboardProcesses, TavrikctlWithoutTheProgramUsesTheKeyboardUnderItsLock) {
    ChildProcess tool;
    {
        const platform::UniqueFd held = holdTheKeyboard();
        ASSERT_TRUE(startTavrikctl(tool, {"profile", "2"}));
        ASSERT_TRUE(waitsForTheKeyboard(tool)) << "it went at the keyboard while another held it";
        // It serves the keyboard, but has sent it nothing yet.
        EXPECT_EQ(control("state"), "ok plugged=1 profile=0 commands=0");
    }
    EXPECT_TRUE(tool.waitForLine("active profile 2"));
    EXPECT_EQ(finish(tool), 0);
    EXPECT_EQ(tavrikctl({"profile"}).out, "active profile 2\n");
}

TEST_F(SharedKeyboardProcesses, AHolderThatDiesInTheMiddleOfASequenceLetsTheOthersOn) {
    startHere();
    ChildProcess probe;
    ASSERT_TRUE(probe.startInteractive({kProbe}));
    ASSERT_TRUE(probe.waitForLine("ready"));
    ASSERT_TRUE(probe.send("begin"));
    ASSERT_TRUE(probe.waitForLine("begin 00"));
    ASSERT_TRUE(probe.send("write 0 170"));
    ASSERT_TRUE(probe.waitForLine("write 00"));
    probe.kill();
    // Its lock went with it: no waiting for the bounds of its sequence.
    EXPECT_EQ(status(commandPacket(kBeginWrite)), 0);
    EXPECT_EQ(status(commandPacket(kEndWrite)), 0);
    EXPECT_NE(readHere(0), "failed");
}

} // namespace
} // namespace tavrik::service::testing
