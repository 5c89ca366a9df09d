#include "device/Transaction.h"

#include "tests/device/DeviceFixture.h"

#include <array>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace tavrik::device::testing {
namespace {

using namespace std::chrono_literals;

Bytes request(std::uint8_t code, std::size_t length = 64, std::uint8_t fill = 0) {
    Bytes bytes(length, fill);
    bytes[0] = 0x04;
    bytes[3] = code;
    return bytes;
}

// Answers every packet with its echo, carrying its byte 8 as data marker.
std::vector<Bytes> echoWithMarker(const Bytes& packet) {
    const std::uint8_t marker[] = {packet[8]};
    return {echoAnswer(packet, 0, marker)};
}

using Transaction = DeviceTest;

TEST_F(Transaction, ShortRequestIsZeroFilledAndThePaddingIsSigned) {
    service.setAnswerer([](const Bytes& packet) { return std::vector<Bytes>{echoAnswer(packet)}; });
    const Bytes shortRequest = request(0x03, 10, 0x55);
    std::array<std::uint8_t, 64> answer{};
    std::uint32_t length = 99;
    EXPECT_EQ(transact(shortRequest, answer, length), 1);

    const std::vector<ServiceCall> calls = service.calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, "RequestGetDeviceCount");
    Bytes padded = shortRequest;
    padded.resize(64, 0);
    EXPECT_EQ(calls[1].data, padded);
    EXPECT_TRUE(calls[1].signatureValid);
    const std::uint32_t withoutPadding = serviceSideSignature(
        &calls[1].selector, nullptr, 0, shortRequest.data(), shortRequest.size());
    EXPECT_EQ(calls[1].signature, withoutPadding + 54 * VezArorSignatureTable[0]);
    EXPECT_EQ(length, 64u);
}

TEST_F(Transaction, LongRequestIsCutTo64Bytes) {
    service.setAnswerer([](const Bytes& packet) { return std::vector<Bytes>{echoAnswer(packet)}; });
    Bytes longRequest = request(0x03, 80, 0x11);
    std::array<std::uint8_t, 64> answer{};
    std::uint32_t length = 0;
    EXPECT_EQ(transact(longRequest, answer, length), 1);
    longRequest.resize(64);
    EXPECT_EQ(service.writtenPackets(), std::vector<Bytes>{longRequest});
}

TEST_F(Transaction, AnswerLargerThanTheCapacityIsCutAndItsLengthRecorded) {
    service.setAnswerer([](const Bytes& packet) {
        Bytes answer(100, 0xA5);
        std::copy_n(packet.begin() + 3, 4, answer.begin() + 3);
        answer[7] = 0;
        return std::vector<Bytes>{answer};
    });
    std::array<std::uint8_t, 65> buffer{};
    buffer.fill(0x11);
    std::uint32_t length = 0;
    EXPECT_EQ(transact(request(0x05), std::span(buffer).first(64), length), 1);
    EXPECT_EQ(length, 64u);
    EXPECT_EQ(buffer[63], 0xA5);
    EXPECT_EQ(buffer[64], 0x11); // nothing beyond the offered capacity
}

TEST_F(Transaction, NoKeyboardReturnsZeroWithoutWriting) {
    service.setDeviceCount(0);
    std::array<std::uint8_t, 64> answer{};
    std::uint32_t length = 5;
    EXPECT_EQ(transact(request(0x03), answer, length), 0);
    EXPECT_EQ(length, 0u);
    EXPECT_TRUE(service.writtenPackets().empty());
}

TEST_F(Transaction, FailedWriteReturnsMinusOneAndLeavesTheGateOpen) {
    service.setWriteResult(0);
    std::array<std::uint8_t, 64> answer{};
    std::uint32_t length = 0;
    EXPECT_EQ(transact(request(0x03), answer, length), -1);
    EXPECT_EQ(service.writtenPackets().size(), 1u);
    EXPECT_FALSE(responseHandover().isBusy());
}

TEST_F(Transaction, ThreeTimeOutsGiveMinusTwoAfterThreeWrites) {
    std::array<std::uint8_t, 64> answer{};
    std::uint32_t length = 0;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(transact(request(0x03), answer, length), -2);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms);
    EXPECT_EQ(service.writtenPackets().size(), 3u);
    EXPECT_EQ(clock.waits(), (std::vector<std::chrono::milliseconds>{1000ms, 1000ms, 1000ms}));
    EXPECT_EQ(clock.sleeps(), (std::vector<std::chrono::milliseconds>{10ms, 10ms}));
    EXPECT_FALSE(responseHandover().isBusy());
}

// An answer counts only for the packet whose command code, length and
// address it echoes; one for another packet (an answer that came late) is
// discarded and the wait goes on. A short answer, without the status byte or
// the data the length asks for, and a refusal are failed attempts.
TEST_F(Transaction, RetriesOnWrongCodeShortAnswerOrRefusalAndTakesOnlyItsOwnAnswer) {
    struct Row {
        const char* name;
        std::vector<std::vector<Bytes>> answersPerWrite; // one list per write
        int result;
        std::size_t writes;
        std::uint8_t status; // status byte left in the answer
    };
    Bytes own = request(0x05);
    own[4] = 42;
    own[5] = 0x54;
    own[6] = 0x01;
    const std::uint8_t ownData[] = {0x42};
    const std::uint8_t lateData[] = {0xEE};
    const auto answerFor = [&own, &lateData](std::size_t byte) {
        Bytes other = own;
        other[byte] ^= 0x10;
        return echoAnswer(other, 0, lateData);
    };
    const Bytes good = echoAnswer(own, 0, ownData);
    const Bytes wrongCode = answerFor(3);
    const Bytes shortAnswer(good.begin(), good.begin() + 5);
    const Bytes noStatus(good.begin(), good.begin() + 7);
    const Bytes shortOfData(good.begin(), good.begin() + 8 + 41);
    const Bytes refusedFF = echoAnswer(own, 0xFF);
    const Bytes refusedFE = echoAnswer(own, 0xFE);
    const Row rows[] = {
        {"wrong code, then right", {{wrongCode}, {good}}, 1, 2, 0},
        {"three wrong codes", {{wrongCode}, {wrongCode}, {wrongCode}}, -2, 3, 0},
        {"short answer, then right", {{shortAnswer}, {good}}, 1, 2, 0},
        {"no status byte, then right", {{noStatus}, {good}}, 1, 2, 0},
        {"short of data, then whole", {{shortOfData}, {good}}, 1, 2, 0},
        {"short of data three times", {{shortOfData}, {shortOfData}, {shortOfData}}, -2, 3, 0},
        {"refused, then accepted", {{refusedFF}, {good}}, 1, 2, 0},
        {"refused three times", {{refusedFF}, {refusedFF}, {refusedFF}}, 1, 3, 0xFF},
        {"refused otherwise three times", {{refusedFE}, {refusedFE}, {refusedFE}}, 1, 3, 0xFE},
        {"own answer, then one for another address", {{good, answerFor(5)}}, 1, 1, 0},
        {"one for another length, then the own", {{answerFor(4), good}}, 1, 1, 0},
        {"one for another address, then the own", {{answerFor(6), good}}, 1, 1, 0},
        {"a refusal of another packet, then the own",
         {{echoAnswer(answerFor(5), 0xFF), good}},
         1,
         1,
         0},
        {"only answers for other packets",
         {{answerFor(5)}, {answerFor(4)}, {answerFor(6)}},
         -2,
         3,
         0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        service.clearCalls();
        auto writes = std::make_shared<std::atomic<std::size_t>>(0);
        service.setAnswerer([&row, writes](const Bytes&) {
            const std::size_t index = (*writes)++;
            return index < row.answersPerWrite.size() ? row.answersPerWrite[index]
                                                      : std::vector<Bytes>{};
        });
        std::array<std::uint8_t, 64> answer{};
        std::uint32_t length = 0;
        EXPECT_EQ(transact(own, answer, length), row.result);
        EXPECT_EQ(service.writtenPackets().size(), row.writes);
        if (row.result == 1) {
            EXPECT_EQ(length, 64u);
            EXPECT_EQ(answer[7], row.status);
            EXPECT_EQ(answer[8], row.status == 0 ? 0x42 : 0);
        }
    }
}

TEST_F(Transaction, FailedWaitReturnsZero) {
    clock.failWaits(true);
    std::array<std::uint8_t, 64> answer{};
    std::uint32_t length = 0;
    EXPECT_EQ(transact(request(0x03), answer, length), 0);
    EXPECT_EQ(service.writtenPackets().size(), 1u);
    EXPECT_FALSE(responseHandover().isBusy());
}

TEST_F(Transaction, AnswerWithoutAWaitingTransactionIsDropped) {
    std::array<std::uint8_t, 64> answer{};
    answer.fill(0x33);
    EXPECT_EQ(FakeService::deliverAnswer(echoAnswer(request(0x03))), 1);
    EXPECT_FALSE(responseHandover().deliver(answer.data(), 64));
    EXPECT_EQ(answer[3], 0x33);
}

class TransactionWithDelayedAnswers : public DeviceTest {
protected:
    TransactionWithDelayedAnswers() : DeviceTest(10) {}
};

// An answer left behind by an earlier waiter (signal and length) must not be
// taken as the answer of the next request.
TEST_F(TransactionWithDelayedAnswers, LeftoverAnswerIsDiscardedAndTheOwnAnswerTaken) {
    std::array<std::uint8_t, 64> other{};
    responseHandover().publish(other.data(), other.size(), answerKeyOf(request(0x03)));
    Bytes stale = echoAnswer(request(0x03));
    stale[8] = 0xEE;
    EXPECT_EQ(FakeService::deliverAnswer(stale), 1);

    service.setAnswerer(echoWithMarker, 20ms);
    Bytes own = request(0x03);
    own[8] = 0x42;
    std::array<std::uint8_t, 64> answer{};
    std::uint32_t length = 0;
    EXPECT_EQ(transact(own, answer, length), 1);
    EXPECT_EQ(answer[8], 0x42);
    EXPECT_EQ(service.writtenPackets().size(), 1u);
    // The other waiter was given its time before the hand-over was taken over.
    ASSERT_FALSE(clock.sleeps().empty());
    EXPECT_EQ(clock.sleeps().front(), 1001ms);
}

// Whole transactions are serialised: threads never take each other's answers,
// also when an answer takes a good part of the busy wait.
TEST_F(TransactionWithDelayedAnswers, ConcurrentTransactionsEachGetTheirOwnAnswer) {
    service.setAnswerer(echoWithMarker, 30ms);
    std::atomic<int> mismatches{0};
    auto run = [&mismatches](std::uint8_t code) {
        for (int i = 0; i < 6; ++i) {
            Bytes own = request(code);
            own[8] = static_cast<std::uint8_t>(code * 16 + i);
            std::array<std::uint8_t, 64> answer{};
            std::uint32_t length = 0;
            if (transact(own, answer, length) != 1 || answer[3] != code || answer[8] != own[8]) {
                ++mismatches;
            }
        }
    };
    std::thread first(run, std::uint8_t{0x03});
    std::thread second(run, std::uint8_t{0x05});
    first.join();
    second.join();
    EXPECT_EQ(mismatches.load(), 0);
}

} // namespace
} // namespace tavrik::device::testing
