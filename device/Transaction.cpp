#include "device/Transaction.h"

#include "device/Clock.h"
#include "device/CommandPacket.h"
#include "device/ServiceBinding.h"
#include "device/Signature.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <limits>

namespace tavrik::device {
namespace {

using namespace std::chrono_literals;

constexpr std::uint8_t kStatusRefused = 0xFF;
constexpr std::uint8_t kStatusRefusedOther = 0xFE;
constexpr int kAttempts = 3;
constexpr auto kBusyTakeOver = 1001ms;
constexpr auto kAnswerTimeout = 1000ms;
constexpr auto kRetryPause = 10ms;

// Held from the device count to the return of a transaction. Without it two
// threads could publish their buffers in turn and take each other's answers.
std::mutex transactionMutex;

std::int32_t writePacket(const CommandPacket& packet, std::uint32_t signature) {
    const ServiceFunctions& functions = service();
    if (functions.RequestWriteOne == nullptr) {
        return 0;
    }
    const RequestDescriptor& descriptor = requestDescriptor(RequestUse::CommandWrite);
    return functions.RequestWriteOne(&descriptor.selector, descriptor.callback, descriptor.tag,
                                     packet.data(), kPacketSize, signature, 0);
}

enum class Answer { Complete, Failed, Refused };

// An answer taken for `request` (its key matches): refused, or complete when
// it carries the status and as many data bytes as the request's length asks.
Answer classify(std::span<const std::uint8_t> answer, std::uint32_t copied,
                const CommandPacket& request) {
    if (copied <= packet::Status) {
        return Answer::Failed;
    }
    const std::uint8_t status = answer[packet::Status];
    if (status == kStatusRefused || status == kStatusRefusedOther) {
        return Answer::Refused;
    }
    const std::size_t dataLength =
        std::min<std::size_t>(request[packet::Length], kPacketDataCapacity);
    return copied >= kPacketDataOffset + dataLength ? Answer::Complete : Answer::Failed;
}

} // namespace

AnswerKey answerKeyOf(std::span<const std::uint8_t> packet) {
    AnswerKey key{};
    std::copy_n(packet.begin() + kAnswerKeyOffset, key.size(), key.begin());
    return key;
}

void ResponseHandover::publish(std::uint8_t* buffer, std::uint32_t capacity, const AnswerKey& key) {
    std::lock_guard lock(mutex_);
    buffer_ = buffer;
    capacity_ = capacity;
    key_ = key;
    taken_ = false;
    length_ = 0;
    event_.reset();
    busy_.store(true);
}

std::uint32_t ResponseHandover::close() {
    std::lock_guard lock(mutex_);
    busy_.store(false);
    buffer_ = nullptr;
    capacity_ = 0;
    return length_;
}

bool ResponseHandover::deliver(const std::uint8_t* data, std::uint32_t length) {
    std::lock_guard lock(mutex_);
    if (!busy_.load() || taken_ || data == nullptr || length < kAnswerKeyOffset + key_.size() ||
        answerKeyOf(std::span(data, length)) != key_) {
        return false;
    }
    taken_ = true;
    length_ = std::min(length, capacity_);
    if (length_ > 0) {
        std::memcpy(buffer_, data, length_);
    }
    event_.signal();
    return true;
}

void ResponseHandover::reset() {
    std::lock_guard lock(mutex_);
    busy_.store(false);
    taken_ = false;
    key_ = {};
    buffer_ = nullptr;
    capacity_ = 0;
    length_ = 0;
    event_.reset();
}

ResponseHandover& responseHandover() {
    // Never destroyed: the service's threads may deliver into it while the
    // process ends.
    static auto* handover = new ResponseHandover;
    return *handover;
}

std::int32_t queryDeviceCount() {
    const ServiceFunctions& functions = service();
    if (functions.RequestGetDeviceCount == nullptr) {
        return 0;
    }
    const RequestDescriptor& descriptor = requestDescriptor(RequestUse::DeviceCount);
    return functions.RequestGetDeviceCount(&descriptor.selector, descriptor.callback,
                                           descriptor.tag, requestSignature(descriptor), 0);
}

int transact(std::span<const std::uint8_t> request, std::span<std::uint8_t> answer,
             std::uint32_t& answerLength) {
    answerLength = 0;
    std::lock_guard serialised(transactionMutex);
    if (queryDeviceCount() <= 0) {
        return result::NoKeyboard;
    }
    CommandPacket packet{};
    std::copy_n(request.begin(), std::min(request.size(), kPacketSize), packet.begin());
    const std::uint32_t signature =
        requestSignature(requestDescriptor(RequestUse::CommandWrite), packet.data(), packet.size());
    const auto capacity = static_cast<std::uint32_t>(
        std::min<std::size_t>(answer.size(), std::numeric_limits<std::uint32_t>::max()));

    Clock& clock = deviceClock();
    ResponseHandover& handover = responseHandover();
    for (int attempt = 1;; ++attempt) {
        if (handover.isBusy()) {
            // Another waiter holds the hand-over: give it its time, then take over.
            clock.sleepFor(kBusyTakeOver);
            handover.close();
        }
        handover.publish(answer.data(), capacity, answerKeyOf(packet));
        if (writePacket(packet, signature) <= 0) {
            handover.close();
            return result::WriteFailed;
        }
        const WaitResult waited = clock.waitForEvent(handover.event(), kAnswerTimeout);
        const std::uint32_t copied = handover.close();
        if (waited == WaitResult::Failed) {
            return result::NoKeyboard;
        }
        const Answer kind =
            waited == WaitResult::TimedOut ? Answer::Failed : classify(answer, copied, packet);
        if (kind == Answer::Complete || (kind == Answer::Refused && attempt == kAttempts)) {
            answerLength = copied;
            return result::Success;
        }
        if (attempt == kAttempts) {
            return result::NoAnswer;
        }
        clock.sleepFor(kRetryPause);
    }
}

} // namespace tavrik::device
