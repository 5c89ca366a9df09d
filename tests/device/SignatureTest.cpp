#include "device/Signature.h"

#include "device/DeviceEvents.h"

#include <algorithm>
#include <array>
#include <gtest/gtest.h>
#include <numeric>
#include <random>
#include <vector>

namespace tavrik::device {
namespace {

std::uint32_t tableSum(std::initializer_list<std::uint8_t> bytes) {
    std::uint32_t sum = 0;
    for (std::uint8_t byte : bytes) {
        sum += VezArorSignatureTable[byte];
    }
    return sum;
}

TEST(Signature, AddsTableEntriesToTheRunningValueModulo2To32) {
    const std::uint8_t zero = 0x00;
    const std::uint8_t last = 0xFF;
    const std::uint8_t three[] = {0x01, 0x02, 0x03};
    EXPECT_EQ(computeSignature(0, &zero, 1), 0x2Au);
    EXPECT_EQ(computeSignature(100, &last, 1), 100u + 0x98u);
    EXPECT_EQ(computeSignature(0, three, 3), 0xB6u + 0x34u + 0xBFu);
    EXPECT_EQ(computeSignature(0xFFFFFFF0u, &zero, 1), 0x1Au);
    EXPECT_EQ(computeSignature(7, nullptr, 0), 7u);
}

TEST(Signature, PayloadsThatArePermutationsOfEachOtherSignAlike) {
    std::mt19937 random(20240611);
    std::vector<std::uint8_t> payload(64);
    std::iota(payload.begin(), payload.end(), 0x80);
    const RequestDescriptor& descriptor = requestDescriptor(RequestUse::CommandWrite);
    const std::uint32_t original = requestSignature(descriptor, payload.data(), payload.size());
    for (int round = 0; round < 5; ++round) {
        std::shuffle(payload.begin(), payload.end(), random);
        EXPECT_EQ(requestSignature(descriptor, payload.data(), payload.size()), original);
    }
    payload[0] ^= 1; // not a permutation any more
    EXPECT_NE(requestSignature(descriptor, payload.data(), payload.size()), original);
}

// A request without callback, tag and data is signed over the selector and
// eight zero bytes.
TEST(Signature, DeviceCountRequestSignsTheSelectorAndEightZeroBytes) {
    const std::uint32_t selector = tableSum({0x0F, 0x00, 0x00, 0x00, 0x45, 0x0C, 0x23, 0x65, 0x1C,
                                             0xFF, 0x92, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(requestSignature(requestDescriptor(RequestUse::DeviceCount)),
              selector + 8 * VezArorSignatureTable[0]);
}

TEST(Signature, ChannelDescriptorsSignTheLowFourBytesOfTheCallbackAndTheTag) {
    const auto address =
        static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(&DeviceEventCallback));
    const std::uint32_t callback = tableSum(
        {static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(address >> 8),
         static_cast<std::uint8_t>(address >> 16), static_cast<std::uint8_t>(address >> 24)});
    const std::uint32_t consumerSelector =
        tableSum({0x0F, 0x00, 0x00, 0x00, 0x45, 0x0C, 0x23, 0x65, 0x0C, 0x00, 0x01, 0x00, 0x00,
                  0x00, 0x00, 0x00});
    const std::uint32_t ledSelector = tableSum({0x0F, 0x00, 0x00, 0x00, 0x45, 0x0C, 0x23, 0x65,
                                                0x08, 0x00, 0x89, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(requestSignature(requestDescriptor(RequestUse::ConsumerChannel)),
              consumerSelector + callback + tableSum({0x53, 0x4E, 0x4F, 0x43}));
    const std::uint8_t report[] = {0x05, 0x03};
    EXPECT_EQ(requestSignature(requestDescriptor(RequestUse::Led), report, 2),
              ledSelector + callback + tableSum({0x44, 0x45, 0x4C, 0x00}) + tableSum({0x05, 0x03}));
}

} // namespace
} // namespace tavrik::device
