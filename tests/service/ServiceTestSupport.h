#pragma once
// What the service tests share: the real libVezAror.so loaded with dlopen as
// the program loads it, request signing, command packets, and a callback that
// records every event it receives.

#include "VezAror.h"
#include "device/ServiceBinding.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace tavrik::service::testing {

// The twelve exports, resolved the way the program resolves them.
using ServiceExports = device::ServiceFunctions;

// Loads TAVRIK_BIN_DIR/libVezAror.so once per process; null entries when the
// library or an export is missing.
const ServiceExports& serviceLibrary();

DeviceSelector selectorOf(std::uint16_t usagePage, std::uint16_t usage);
inline const DeviceSelector kCommandSelector = selectorOf(0xFF1C, 0x0092);
inline const DeviceSelector kConsumerSelector = selectorOf(0x000C, 0x0001);
inline const DeviceSelector kLedSelector = selectorOf(0x0008, 0x0089);

// The signature as a caller computes it: the table entries of the 16
// selector bytes, the low four callback address bytes, the four tag bytes
// and the data bytes, summed modulo 2^32.
std::uint32_t sign(const DeviceSelector& selector, VezArorCallback callback, std::uint32_t tag,
                   std::span<const std::uint8_t> data = {});

using CommandPacket = std::array<std::uint8_t, 64>;
// A request packet with its checksum: sum of bytes 3..63 into bytes 1..2.
CommandPacket commandPacket(std::uint8_t code, std::uint8_t length = 0, std::uint16_t address = 0,
                            std::span<const std::uint8_t> data = {});

struct RecordedEvent {
    std::uint32_t tag = 0;
    std::uint32_t kind = 0;
    std::uint32_t length = 0;
    std::vector<std::uint8_t> data;
    std::uint16_t consumerCode = 0;
};

// Everything recordingCallback received, in order of arrival.
class EventLog {
public:
    static EventLog& instance();
    void clear();
    void add(RecordedEvent event);
    // Takes the first recorded event that matches, waiting up to `timeout`.
    std::optional<RecordedEvent> take(const std::function<bool(const RecordedEvent&)>& match,
                                      std::chrono::milliseconds timeout);
    std::size_t count(const std::function<bool(const RecordedEvent&)>& match);

private:
    std::mutex mutex_;
    std::condition_variable added_;
    std::deque<RecordedEvent> events_;
};

std::int32_t recordingCallback(const ServiceEvent* event);

std::function<bool(const RecordedEvent&)> answerTo(std::uint8_t code);
std::function<bool(const RecordedEvent&)> consumerCode(std::uint16_t code);
std::function<bool(const RecordedEvent&)> deviceChange(std::uint32_t tag);
// The same on channels registered under tags of their own, as a second
// service's are told apart.
std::function<bool(const RecordedEvent&)> answerOn(std::uint32_t tag, std::uint8_t code);
std::function<bool(const RecordedEvent&)> consumerCodeOn(std::uint32_t tag, std::uint16_t code);

inline constexpr std::chrono::milliseconds kEventTimeout{3000};

} // namespace tavrik::service::testing
