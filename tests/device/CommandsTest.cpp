#include "device/Commands.h"

#include "device/CommandPacket.h"
#include "tests/device/DeviceFixture.h"

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <numeric>
#include <vector>

namespace tavrik::device::testing {
namespace {

using namespace std::chrono_literals;

std::uint16_t addressOf(const Bytes& packet) {
    return static_cast<std::uint16_t>(packet[5] | (packet[6] << 8));
}

// The checksum as the keyboard checks it: bytes 3..63 summed.
bool checksumHolds(const Bytes& packet) {
    unsigned sum = 0;
    for (std::size_t i = 3; i < 64; ++i) {
        sum += packet[i];
    }
    return packet[1] == (sum & 0xFF) && packet[2] == ((sum >> 8) & 0xFF);
}

// A keyboard memory behind the fake service: reads answer from the area of
// their command, writes land in the area of theirs.
class Memory {
public:
    Memory() {
        for (std::uint8_t code :
             {0x07, 0x08, 0x09, 0x0A, 0x0F, 0x03, 0x04, 0x05, 0x06, 0x10, 0x11}) {
            area(code).resize(4096);
            std::iota(area(code).begin(), area(code).end(), code);
        }
    }
    // Reads and writes of one memory share an area.
    Bytes& area(std::uint8_t code) {
        static const std::map<std::uint8_t, std::uint8_t> shared = {
            {0x08, 0x07}, {0x0A, 0x09}, {0x04, 0x03}, {0x06, 0x05}, {0x11, 0x10}};
        const auto it = shared.find(code);
        return areas_[it != shared.end() ? it->second : code];
    }
    std::vector<Bytes> answer(const Bytes& packet) {
        const std::uint8_t code = packet[3];
        const std::size_t length = packet[4];
        const std::uint16_t address = addressOf(packet);
        Bytes& bytes = area(code);
        const bool isWrite =
            code == 0x04 || code == 0x06 || code == 0x08 || code == 0x0A || code == 0x11;
        if (isWrite) {
            std::copy_n(packet.begin() + 8, length, bytes.begin() + address);
            return {echoAnswer(packet)};
        }
        if (code == 0x01 || code == 0x02) {
            return {echoAnswer(packet)};
        }
        return {echoAnswer(packet, 0, std::span(bytes).subspan(address, 56))};
    }

private:
    std::map<std::uint8_t, Bytes> areas_;
};

class Commands : public DeviceTest {
protected:
    Commands() {
        service.setAnswerer([this](const Bytes& packet) { return memory.answer(packet); });
    }
    Memory memory;
};

TEST_F(Commands, KeyMapPageTravelsInTenPacketsAtItsPageAddresses) {
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE(page);
        service.clearCalls();
        std::array<std::uint8_t, 512> image{};
        for (std::size_t i = 0; i < image.size(); ++i) {
            image[i] = static_cast<std::uint8_t>(i * 7 + page);
        }
        EXPECT_EQ(writeKeyMapPage(image, page), 1);
        const std::vector<Bytes> packets = service.writtenPackets();
        ASSERT_EQ(packets.size(), 10u);
        for (std::size_t i = 0; i < packets.size(); ++i) {
            const Bytes& packet = packets[i];
            const std::size_t length = i < 9 ? 56 : 8;
            EXPECT_EQ(packet[0], 0x04);
            EXPECT_EQ(packet[3], 0x08);
            EXPECT_EQ(packet[4], length);
            EXPECT_EQ(addressOf(packet), page * 512 + i * 56);
            EXPECT_EQ(packet[7], 0);
            EXPECT_TRUE(std::equal(packet.begin() + 8, packet.begin() + 8 + length,
                                   image.begin() + i * 56));
            EXPECT_TRUE(std::all_of(packet.begin() + 8 + length, packet.end(),
                                    [](std::uint8_t byte) { return byte == 0; }));
            EXPECT_TRUE(checksumHolds(packet));
        }
        std::array<std::uint8_t, 512> readBack{};
        EXPECT_EQ(readKeyMapPage(readBack, page), 1);
        EXPECT_EQ(readBack, image);
        EXPECT_EQ(service.writtenPackets().back()[3], 0x07);
    }
}

TEST_F(Commands, PageOutsideTheThreeProfilesSendsNothing) {
    std::array<std::uint8_t, 512> page{};
    for (int index : {3, -1, 100}) {
        EXPECT_EQ(writeKeyMapPage(page, index), -201);
        EXPECT_EQ(readKeyMapPage(page, index), -201);
    }
    EXPECT_TRUE(service.calls().empty());
}

TEST_F(Commands, MacroAreaOfLengthZeroSendsNothing) {
    std::vector<std::uint8_t> none;
    EXPECT_EQ(readMacroArea(none), 1);
    EXPECT_EQ(writeMacroArea(none), 1);
    EXPECT_TRUE(service.calls().empty());
}

TEST_F(Commands, MacroAreaIsChunkedFromAddressZeroAndReadBack) {
    std::vector<std::uint8_t> macros(130);
    std::iota(macros.begin(), macros.end(), 0x30);
    EXPECT_EQ(writeMacroArea(macros), 1);
    const std::vector<Bytes> packets = service.writtenPackets();
    ASSERT_EQ(packets.size(), 3u);
    const std::size_t lengths[] = {56, 56, 18};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(packets[i][3], 0x0A);
        EXPECT_EQ(packets[i][4], lengths[i]);
        EXPECT_EQ(addressOf(packets[i]), i * 56);
    }
    std::vector<std::uint8_t> readBack(130);
    EXPECT_EQ(readMacroArea(readBack), 1);
    EXPECT_EQ(readBack, macros);
}

TEST_F(Commands, FirstFailingPacketEndsTheOperation) {
    service.setAnswerer([this](const Bytes& packet) {
        if (addressOf(packet) == 3 * 56) {
            return std::vector<Bytes>{echoAnswer(packet, 0xFF)};
        }
        return memory.answer(packet);
    });
    std::array<std::uint8_t, 512> page{};
    EXPECT_EQ(writeKeyMapPage(page, 0), -102);
    // Three packets, then three attempts at the fourth; none after it.
    const std::vector<Bytes> packets = service.writtenPackets();
    ASSERT_EQ(packets.size(), 6u);
    EXPECT_EQ(addressOf(packets.back()), 3 * 56);
}

TEST_F(Commands, RefusalsMapToTheirResultAfterThreeWrites) {
    for (const auto& [status, expected] : {std::pair{0xFF, -102}, std::pair{0xFE, -103}}) {
        service.clearCalls();
        service.setAnswerer([status = status](const Bytes& packet) {
            return std::vector<Bytes>{echoAnswer(packet, static_cast<std::uint8_t>(status))};
        });
        std::array<std::uint8_t, 44> info{};
        EXPECT_EQ(readDeviceInfo(info), expected);
        EXPECT_EQ(service.writtenPackets().size(), 3u);
    }
}

TEST_F(Commands, NoAnswerGivesMinusTwoInMilliseconds) {
    service.setAnswerer({});
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(beginWrite(), -2);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms);
    EXPECT_EQ(service.writtenPackets().size(), 3u);
}

TEST_F(Commands, WithNoKeyboardEveryOperationReturnsZeroWithoutWriting) {
    service.setDeviceCount(0);
    std::array<std::uint8_t, 512> page{};
    std::array<std::uint8_t, 44> info{};
    std::array<std::uint8_t, 56> block{};
    std::vector<std::uint8_t> macros(100);
    const std::vector<std::function<int()>> operations = {
        [] { return beginWrite(); },
        [] { return endWrite(); },
        [&] { return readDeviceInfo(info); },
        [&] { return writeDeviceInfo(info); },
        [&] { return readParameters(block, 42, 0); },
        [&] { return writeParameters(std::span(block).first(4), 0); },
        [&] { return readKeyMapPage(page, 1); },
        [&] { return writeKeyMapPage(page, 1); },
        [&] { return readMacroArea(macros); },
        [&] { return writeMacroArea(macros); },
        [&] { return readDefaultLayout(page); },
        [&] { return readColours(block, 36, 0, 1); },
        [&] { return writeColours(std::span(block).first(3), 2, 1); },
    };
    for (std::size_t i = 0; i < operations.size(); ++i) {
        EXPECT_EQ(operations[i](), 0) << "operation " << i;
    }
    EXPECT_TRUE(service.writtenPackets().empty());
}

TEST_F(Commands, SinglePacketCommandsCarryTheirFields) {
    struct Row {
        const char* name;
        std::function<int()> operation;
        std::uint8_t code;
        std::uint8_t length;
        std::uint16_t address;
    };
    std::array<std::uint8_t, 44> info{};
    std::array<std::uint8_t, 56> block{};
    const std::array<std::uint8_t, 3> colour = {0x10, 0x20, 0x30};
    const Row rows[] = {
        {"beginWrite", [] { return beginWrite(); }, 0x01, 0, 0},
        {"endWrite", [] { return endWrite(); }, 0x02, 0, 0},
        {"readDeviceInfo", [&] { return readDeviceInfo(info); }, 0x03, 44, 0},
        {"writeDeviceInfo", [&] { return writeDeviceInfo(info); }, 0x04, 44, 0},
        {"readParameters", [&] { return readParameters(block, 42, 84); }, 0x05, 42, 84},
        {"writeParameters", [&] { return writeParameters(std::span(block).first(2), 340); }, 0x06,
         2, 340},
        {"readColours", [&] { return readColours(block, 36, 0, 2); }, 0x10, 36, 72},
        {"writeColours", [&] { return writeColours(colour, 5, 1); }, 0x11, 3, 51},
        {"readDefaultLayout",
         [&] {
             std::array<std::uint8_t, 512> layout{};
             return readDefaultLayout(layout);
         },
         0x0F, 56, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        service.clearCalls();
        EXPECT_EQ(row.operation(), 1);
        const std::vector<Bytes> packets = service.writtenPackets();
        ASSERT_FALSE(packets.empty());
        EXPECT_EQ(packets[0][0], 0x04);
        EXPECT_EQ(packets[0][3], row.code);
        EXPECT_EQ(packets[0][4], row.length);
        EXPECT_EQ(addressOf(packets[0]), row.address);
        EXPECT_EQ(packets[0][7], 0);
        EXPECT_TRUE(checksumHolds(packets[0]));
    }
}

TEST_F(Commands, ChecksumOfAPacketWithoutDataSumsCodeLengthAndAddress) {
    const struct {
        CommandCode code;
        std::uint8_t length;
        std::uint16_t address;
        std::uint16_t checksum;
    } rows[] = {
        {CommandCode::BeginWrite, 0, 0, 0x0001},
        {CommandCode::ReadParameters, 42, 0x0154, 0x0005 + 42 + 0x54 + 0x01},
        {CommandCode::ReadMacroArea, 56, 0xFFFF, 0x0009 + 56 + 0xFF + 0xFF},
    };
    for (const auto& row : rows) {
        CommandPacket packet = makeCommandPacket(row.code, row.length, row.address);
        writePacketChecksum(packet);
        EXPECT_EQ(packet[1] | (packet[2] << 8), row.checksum);
    }
    CommandPacket full{};
    full.fill(0xFF);
    EXPECT_EQ(packetChecksum(full), 61u * 0xFF); // above 8 bits: byte 2 carries it
}

TEST_F(Commands, RequestsBeyondOnePacketAreRefusedBeforeSending) {
    std::array<std::uint8_t, 57> tooMuch{};
    std::array<std::uint8_t, 56> block{};
    EXPECT_EQ(writeParameters(tooMuch, 0), -202);
    EXPECT_EQ(writeColours(tooMuch, 0, 0), -202);
    EXPECT_EQ(readParameters(block, 57, 0), -202);
    EXPECT_EQ(readColours(block, 57, 0, 0), -202);
    EXPECT_EQ(readParameters(block, 4, 0x10000), -202);
    EXPECT_EQ(writeColours(std::span(block).first(3), -1, 0), -202);
    EXPECT_EQ(writeColours(std::span(block).first(3), 0, 2000), -202);
    std::vector<std::uint8_t> hugeMacroArea(0x10001);
    EXPECT_EQ(readMacroArea(hugeMacroArea), -202);
    EXPECT_TRUE(service.calls().empty());
}

TEST_F(Commands, EndWritePausesTenMillisecondsBeforeSending) {
    EXPECT_EQ(endWrite(), 1);
    const std::vector<TestClock::Step> steps = clock.steps();
    ASSERT_FALSE(steps.empty());
    EXPECT_FALSE(steps[0].isWait);
    EXPECT_EQ(steps[0].duration, 10ms);
    EXPECT_EQ(steps[0].writesBefore, 0u);
    EXPECT_EQ(service.writtenPackets().size(), 1u);
}

TEST_F(Commands, ActiveProfileIsReadAndRememberedUntilTheKeyboardGoesAway) {
    EXPECT_EQ(cachedActiveProfile(), -1);
    memory.area(0x03)[10] = 2;
    EXPECT_EQ(readActiveProfile(), 2);
    EXPECT_EQ(cachedActiveProfile(), 2);

    service.setDeviceCount(0);
    EXPECT_EQ(readActiveProfile(), -1);
    EXPECT_EQ(cachedActiveProfile(), 2); // a failed read keeps the last known one
    setCachedActiveProfile(-1);
    EXPECT_EQ(cachedActiveProfile(), -1);
}

} // namespace
} // namespace tavrik::device::testing
