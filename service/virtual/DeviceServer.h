#pragma once
// The device socket of a shared virtual keyboard, served by the process that
// runs the keyboard: other processes connect, write their reports through it
// and receive every input report and every change of presence, as every
// handle of a hidraw node does. One thread accepts and reads; reports go out
// from whichever thread the keyboard reports on. A connection that does not
// take what is sent to it at once is dropped rather than allowed to hold the
// keyboard up; its process connects again.

#include "platform/LocalSocket.h"
#include "service/virtual/DeviceWire.h"
#include "service/virtual/VirtualDevice.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace tavrik::service {

class DeviceServer {
public:
    static constexpr std::size_t kMaximumConnections = 64;

    DeviceServer(std::string socketPath, VirtualDevice& device);
    ~DeviceServer();
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // Binds the socket, replacing what is at the path: only the process that
    // holds the keyboard's server lock calls this, so what is there is left
    // by one that is gone.
    bool start(std::string& error);
    // Closes every connection and removes the socket file.
    void stop();

    void sendReport(const HidInterface& source, std::span<const std::uint8_t> report);
    // The device's presence as it is now.
    void sendState();

private:
    struct Connection;

    void serve();
    // False when the connection is to be closed.
    bool receive(Connection& connection);
    bool answer(Connection& connection, const WireMessage& message);
    // Under sendMutex_; marks a connection that cannot take it as ended.
    void sendLocked(Connection& connection, std::span<const std::uint8_t> bytes);
    void sendToAll(const std::vector<std::uint8_t>& message);

    const std::string path_;
    VirtualDevice& device_;
    platform::LocalListener listener_;
    platform::UniqueFd wakeRead_;
    platform::UniqueFd wakeWrite_;
    // Everything sent goes under it, so each connection's messages keep
    // their order whichever thread sends them.
    std::mutex sendMutex_;
    std::vector<std::shared_ptr<Connection>> connections_;
    // Read without the lock: with nobody connected a report costs nothing.
    std::atomic<std::size_t> connectionCount_{0};
    std::thread thread_;
};

} // namespace tavrik::service
