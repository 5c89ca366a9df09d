#pragma once
// A standing request (an asynchronous read or a status write) with the thread
// that hands its events to the caller's callback. Every channel has a thread
// of its own, so a callback that blocks holds back only its own channel.

#include "VezAror.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tavrik::service {

struct ChannelEvent {
    std::uint32_t kind = VEZAROR_EVENT_INPUT_REPORT;
    // Kind 0: matching devices present now.
    std::uint32_t deviceCount = 0;
    // Kind 1: the report, id first.
    std::vector<std::uint8_t> report;
    // Kind 1 on a consumer collection: the code the report carries.
    std::uint16_t consumerCode = 0;
};

enum class ChannelKind { AsyncRead, StatusWrite };

class Channel : public std::enable_shared_from_this<Channel> {
public:
    // Events that wait for a blocked callback beyond this are dropped, as a
    // device's own report buffer would drop them.
    static constexpr std::size_t kQueueCapacity = 1024;

    Channel(std::uint32_t id, ChannelKind channelKind, const DeviceSelector& deviceSelector,
            VezArorCallback eventCallback, std::uint32_t channelTag,
            std::vector<std::uint8_t> statusBytes);
    ~Channel();
    Channel(const Channel&) = delete;
    Channel& operator=(const Channel&) = delete;

    void start();
    // Queues an event for the callback. False when it was dropped.
    bool post(ChannelEvent event);
    // No callback starts after this returns, apart from one whose event was
    // already taken from the queue; a running callback finishes.
    void cancel();
    // Waits for the thread to end. Called on the channel's own thread (a
    // callback that ends the service) it lets the thread end by itself.
    void join();
    bool finished() const { return finished_.load(); }

    std::uint32_t unitId() const { return unitId_; }
    ChannelKind kind() const { return kind_; }
    const DeviceSelector& selector() const { return selector_; }
    VezArorCallback callback() const { return callback_; }
    std::uint32_t tag() const { return tag_; }
    const std::vector<std::uint8_t>& status() const { return status_; }

    // Ids of the matching interfaces at the last device event; kept by the
    // service under its lock.
    std::vector<std::uint32_t> presentDevices;

private:
    void run();
    void deliver(const ChannelEvent& event) const;

    const std::uint32_t unitId_;
    const ChannelKind kind_;
    const DeviceSelector selector_;
    const VezArorCallback callback_;
    const std::uint32_t tag_;
    const std::vector<std::uint8_t> status_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<ChannelEvent> queue_;
    bool cancelled_ = false;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

} // namespace tavrik::service
