#pragma once
// A process's connection to the process that serves a shared virtual
// keyboard (DeviceServer.h): the device's interfaces as the server last told,
// writes that wait for the server's reply, and a reader thread that hands
// every report and change of presence to the backend's events. When the
// connection ends (the serving process went), the reader thread calls the
// handler given, which finds the keyboard's next server.

#include "service/Backend.h"
#include "service/virtual/DeviceWire.h"
#include "service/virtual/VirtualDevice.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace tavrik::service {

class DeviceClient {
public:
    // Called on the reader thread once the connection has ended, with the
    // device as it was last told.
    using LostHandler = std::function<void(const DeviceState& last)>;

    // How long a write or a sync waits for the server's reply.
    static constexpr std::chrono::seconds kReplyTimeout{5};

    // Connects to the server at `socketPath` and takes its first message, the
    // device's state; null when nobody serves there before `deadline`.
    static std::unique_ptr<DeviceClient> connect(const std::string& socketPath,
                                                 std::chrono::steady_clock::time_point deadline);
    ~DeviceClient();
    DeviceClient(const DeviceClient&) = delete;
    DeviceClient& operator=(const DeviceClient&) = delete;

    // Starts the reader thread.
    void start(BackendEvents& events, LostHandler lost);
    // Ends the connection and joins the reader thread, unless called on it.
    void stop();

    std::vector<HidInterface> interfaces();
    DeviceState state();
    // Whether the server took the report; false too once the connection is
    // gone. On the reader thread (a receiver of its events writing back)
    // the write is sent without waiting for its reply, which the reader
    // itself has to take.
    bool writeOutput(std::uint32_t interfaceId, std::span<const std::uint8_t> report);
    // Returns once every report the server sent before has been handed on.
    bool sync();
    bool ended();

private:
    DeviceClient(platform::UniqueFd socket, DeviceState state);

    void read();
    // Handles one message from the server; false when it makes no sense.
    bool take(const WireMessage& message);
    // Sends a request and waits for its reply; the reply's payload byte, or
    // none when the connection broke or the server did not reply in time.
    std::optional<std::uint8_t> request(const std::vector<std::uint8_t>& message);
    // Sends a message; the number of its reply, none once the connection is
    // gone. An awaited one's reply is kept for request().
    std::optional<std::uint64_t> send(const std::vector<std::uint8_t>& message, bool awaited);
    void end();

    platform::UniqueFd socket_;
    platform::UniqueFd wake_;
    BackendEvents* events_ = nullptr;
    LostHandler lost_;

    // One request at a time waits for its reply.
    std::mutex requestMutex_;
    // Keeps messages whole on the socket: a write from the reader thread
    // may go out beside a request.
    std::mutex sendMutex_;
    std::mutex mutex_;
    std::condition_variable replied_;
    DeviceState state_;
    bool ended_ = false;
    bool stopping_ = false;
    // Requests sent and replies taken, in their order.
    std::uint64_t sent_ = 0;
    std::uint64_t replies_ = 0;
    // The request a caller waits for, and its reply once taken.
    std::uint64_t awaited_ = 0;
    std::optional<std::uint8_t> reply_;
    std::thread reader_;
    std::atomic<std::thread::id> readerId_{};
};

} // namespace tavrik::service
