#include "service/virtual/DeviceServer.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrik::service {
namespace {

// Room for many messages; a connection never needs more at once.
constexpr std::size_t kReceiveChunk = 4096;

} // namespace

struct DeviceServer::Connection {
    platform::UniqueFd fd;
    // The server thread's own.
    std::vector<std::uint8_t> received;
    // Under sendMutex_.
    bool ended = false;
};

DeviceServer::DeviceServer(std::string socketPath, VirtualDevice& device)
    : path_(std::move(socketPath)), device_(device) {}

DeviceServer::~DeviceServer() {
    stop();
}

bool DeviceServer::start(std::string& error) {
    ::unlink(path_.c_str());
    errno = 0;
    int wake[2] = {-1, -1};
    if (!listener_.listen(path_) || ::pipe2(wake, O_CLOEXEC) != 0) {
        error =
            path_ + ": " + (errno != 0 ? std::strerror(errno) : "socket path empty or too long");
        listener_.close();
        return false;
    }
    wakeRead_.reset(wake[0]);
    wakeWrite_.reset(wake[1]);
    thread_ = std::thread([this] { serve(); });
    return true;
}

void DeviceServer::stop() {
    if (!thread_.joinable()) {
        return;
    }
    const char byte = 0;
    while (::write(wakeWrite_.get(), &byte, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
    {
        std::lock_guard lock(sendMutex_);
        connections_.clear();
        connectionCount_ = 0;
    }
    listener_.close();
    wakeRead_.reset();
    wakeWrite_.reset();
}

void DeviceServer::serve() {
    for (;;) {
        std::vector<std::shared_ptr<Connection>> current;
        {
            std::lock_guard lock(sendMutex_);
            std::erase_if(connections_, [](const auto& connection) { return connection->ended; });
            connectionCount_ = connections_.size();
            current = connections_;
        }
        std::vector<pollfd> watched = {{wakeRead_.get(), POLLIN, 0},
                                       {listener_.descriptor(), POLLIN, 0}};
        for (const auto& connection : current) {
            watched.push_back({connection->fd.get(), POLLIN, 0});
        }
        if (::poll(watched.data(), watched.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (watched[0].revents != 0) {
            break;
        }
        for (std::size_t i = 0; i < current.size(); ++i) {
            if (watched[2 + i].revents != 0 && !receive(*current[i])) {
                std::lock_guard lock(sendMutex_);
                current[i]->ended = true;
            }
        }
        if (watched[1].revents & POLLIN) {
            auto connection = std::make_shared<Connection>();
            connection->fd = listener_.accept();
            if (!connection->fd) {
                continue;
            }
            std::lock_guard lock(sendMutex_);
            if (connections_.size() >= kMaximumConnections) {
                continue;
            }
            // First the device as it is now; every change after it follows.
            sendLocked(*connection, encodeWireState(device_.state()));
            connections_.push_back(std::move(connection));
            connectionCount_ = connections_.size();
        }
    }
}

bool DeviceServer::receive(Connection& connection) {
    if (!platform::receiveWaiting(connection.fd.get(), connection.received,
                                  connection.received.size() + kReceiveChunk)) {
        return false;
    }
    for (;;) {
        bool malformed = false;
        const std::optional<WireMessage> message = takeWire(connection.received, malformed);
        if (malformed) {
            return false;
        }
        if (!message) {
            return true;
        }
        if (!answer(connection, *message)) {
            return false;
        }
    }
}

bool DeviceServer::answer(Connection& connection, const WireMessage& message) {
    if (message.type == WireType::Write) {
        const std::optional<WireReport> write = decodeWireReport(message.payload);
        if (!write) {
            return false;
        }
        // Without the send lock: an answer given at once goes out to
        // everyone from in here, before the write's own reply.
        const bool accepted = device_.writeOutput(write->interfaceId, write->report);
        const std::uint8_t reply[1] = {static_cast<std::uint8_t>(accepted ? 1 : 0)};
        std::lock_guard lock(sendMutex_);
        sendLocked(connection, encodeWire(WireType::Written, reply));
        return true;
    }
    if (message.type == WireType::Sync) {
        std::lock_guard lock(sendMutex_);
        sendLocked(connection, encodeWire(WireType::Synced));
        return true;
    }
    return false;
}

void DeviceServer::sendLocked(Connection& connection, std::span<const std::uint8_t> bytes) {
    if (connection.ended) {
        return;
    }
    // No wait: a connection whose process does not read must not hold up
    // the keyboard for everyone.
    if (!platform::sendAll(connection.fd.get(), bytes, std::chrono::steady_clock::now())) {
        connection.ended = true;
        ::shutdown(connection.fd.get(), SHUT_RDWR);
    }
}

void DeviceServer::sendToAll(const std::vector<std::uint8_t>& message) {
    std::lock_guard lock(sendMutex_);
    for (const auto& connection : connections_) {
        sendLocked(*connection, message);
    }
}

void DeviceServer::sendReport(const HidInterface& source, std::span<const std::uint8_t> report) {
    if (connectionCount_.load() == 0) {
        return;
    }
    sendToAll(encodeWireReport(WireType::Report, source.id, report));
}

void DeviceServer::sendState() {
    if (connectionCount_.load() == 0) {
        return;
    }
    sendToAll(encodeWireState(device_.state()));
}

} // namespace tavrik::service
