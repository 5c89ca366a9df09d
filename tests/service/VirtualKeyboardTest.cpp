#include "service/virtual/VirtualKeyboard.h"

#include "tests/service/ServiceTestSupport.h"

#include <gtest/gtest.h>

namespace tavrik::service {
namespace {

using testing::commandPacket;

Packet packetOf(const testing::CommandPacket& bytes) {
    Packet packet{};
    std::copy(bytes.begin(), bytes.end(), packet.begin());
    return packet;
}

TEST(VirtualKeyboard, AnswersEchoTheRequestAndCarryAValidChecksum) {
    VirtualKeyboard keyboard;
    const Packet answer = keyboard.execute(packetOf(commandPacket(0x07, 56, 512 + 112))).packet;
    EXPECT_EQ(answer[0], 0x04);
    EXPECT_EQ(answer[3], 0x07);
    EXPECT_EQ(answer[4], 56);
    EXPECT_EQ(answer[5], 0x70);
    EXPECT_EQ(answer[6], 0x02);
    EXPECT_EQ(answer[7], 0x00);
    unsigned sum = 0;
    for (std::size_t i = 3; i < 64; ++i) {
        sum += answer[i];
    }
    EXPECT_EQ(answer[1] | (answer[2] << 8), static_cast<int>(sum & 0xFFFF));
}

TEST(VirtualKeyboard, WritingTheInformationBlockChangesOnlyWhatTheHostOwns) {
    VirtualKeyboard keyboard;
    std::array<std::uint8_t, 44> block;
    block.fill(0xAA);
    block[10] = 1;
    const auto result = keyboard.execute(packetOf(commandPacket(0x04, 44, 0, block)));
    EXPECT_EQ(result.packet[7], 0x00);
    EXPECT_TRUE(result.committed);
    const auto& info = keyboard.committed().info;
    EXPECT_EQ(info[0], 0xAA);
    EXPECT_EQ(info[9], 0xAA);
    EXPECT_EQ(info[10], 1);
    EXPECT_EQ(info[11], 255);
    EXPECT_EQ(info[12], 1);
    EXPECT_EQ(info[29], 18);
    EXPECT_EQ(info[30], 0);

    // A part of the block that leaves byte 10 alone.
    const std::uint8_t two[2] = {0x11, 0x22};
    EXPECT_EQ(keyboard.execute(packetOf(commandPacket(0x04, 2, 2, two))).packet[7], 0x00);
    EXPECT_EQ(keyboard.memory().info[3], 0x22);
    EXPECT_EQ(keyboard.activeProfile(), 1);
}

TEST(VirtualKeyboard, LosingPowerKeepsOnlyWhatWasCommitted) {
    VirtualKeyboard keyboard;
    const std::uint8_t record[3] = {0x00, 0x00, 0x00};
    keyboard.execute(packetOf(commandPacket(0x08, 3, 3 * 8, record)));
    EXPECT_EQ(keyboard.memory().pages[3 * 8], 0x00);
    keyboard.losePower();
    EXPECT_EQ(keyboard.memory().pages[3 * 8], 0x02);

    keyboard.execute(packetOf(commandPacket(0x08, 3, 3 * 8, record)));
    EXPECT_TRUE(keyboard.execute(packetOf(commandPacket(0x02))).committed);
    keyboard.losePower();
    EXPECT_EQ(keyboard.memory().pages[3 * 8], 0x00);
}

TEST(VirtualKeyboard, TheLightingKeyCyclesThroughTheSupportedEffects) {
    VirtualKeyboard keyboard;
    keyboard.switchProfile(1);
    for (int effect = 2; effect <= 18; ++effect) {
        keyboard.stepEffect();
        EXPECT_EQ(keyboard.committed().lighting[42], effect);
    }
    keyboard.stepEffect();
    EXPECT_EQ(keyboard.committed().lighting[42], 1);
    EXPECT_EQ(keyboard.committed().lighting[0], 1) << "profile 0 untouched";
}

} // namespace
} // namespace tavrik::service
