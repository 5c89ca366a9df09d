#pragma once
// A service made of a table of functions, filled into the binding in place of
// the loaded library, for the exact protocol steps of the program side. It
// records every call, checks every signature as the service does (over the
// records' own memory, independently of the program's serialisation), hands
// out unit ids from 1 and answers command packets through the program's
// callback, at once or after a delay from a thread of its own.

#include "VezAror.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace tavrik::device::testing {

using Bytes = std::vector<std::uint8_t>;

struct ServiceCall {
    std::string name;
    DeviceSelector selector{};
    VezArorCallback callback = nullptr;
    std::uint32_t tag = 0;
    Bytes data;
    std::uint32_t signature = 0;
    bool signatureValid = true;
    std::uint32_t unitId = 0; // the id passed (delete) or handed out (registration)
};

// The signature as the service computes it.
std::uint32_t serviceSideSignature(const DeviceSelector* selector, VezArorCallback callback,
                                   std::uint32_t tag, const std::uint8_t* data, std::size_t length);

// An answer that echoes the request's command code, length and address, with
// a status byte and data bytes from byte 8 on.
Bytes echoAnswer(const Bytes& request, std::uint8_t status = 0,
                 std::span<const std::uint8_t> data = {});

class FakeService {
public:
    // Answers for one written packet, delivered in order.
    using Answerer = std::function<std::vector<Bytes>(const Bytes& packet)>;

    FakeService();
    ~FakeService();
    FakeService(const FakeService&) = delete;
    FakeService& operator=(const FakeService&) = delete;

    void setDeviceCount(std::int32_t count);
    void setWriteResult(std::int32_t result);
    // With a delay the answers come from the fake's own thread that long
    // after the write; without one, before RequestWriteOne returns.
    void setAnswerer(Answerer answerer,
                     std::chrono::milliseconds delay = std::chrono::milliseconds(0));

    std::vector<ServiceCall> calls() const;
    std::vector<std::string> callNames() const;
    std::vector<Bytes> writtenPackets() const;
    void clearCalls();

    // Events as the service raises them, through the program's callback.
    static std::int32_t deliverAnswer(const Bytes& answer);
    static std::int32_t sendConsumerCode(std::uint16_t code);
    static std::int32_t sendDeviceSetChange(std::uint32_t tag, std::uint32_t count);

    // Entry points of the table.
    std::int32_t getDeviceCount(const DeviceSelector* selector, VezArorCallback callback,
                                std::uint32_t tag, std::uint32_t signature);
    std::int32_t deleteRequest(std::uint32_t unitId);
    std::int32_t writeOne(const DeviceSelector* selector, VezArorCallback callback,
                          std::uint32_t tag, const std::uint8_t* data, std::uint32_t length,
                          std::uint32_t signature);
    std::int32_t statusWrite(const DeviceSelector* selector, VezArorCallback callback,
                             std::uint32_t tag, const std::uint8_t* data, std::uint32_t length,
                             std::uint32_t signature, std::uint32_t* unitId);
    std::int32_t asyncRead(const DeviceSelector* selector, VezArorCallback callback,
                           std::uint32_t tag, std::uint32_t signature, std::uint32_t* unitId);

private:
    void record(ServiceCall call);
    void answerThreadLoop();

    mutable std::mutex mutex_;
    std::vector<ServiceCall> calls_;
    std::int32_t deviceCount_ = 1;
    std::int32_t writeResult_ = 1;
    std::uint32_t nextUnitId_ = 1;
    Answerer answerer_;
    std::chrono::milliseconds delay_{0};

    struct Pending {
        std::chrono::steady_clock::time_point due;
        Bytes answer;
    };
    std::deque<Pending> pending_;
    std::condition_variable pendingChanged_;
    bool stopping_ = false;
    std::thread answerThread_;
};

} // namespace tavrik::device::testing
