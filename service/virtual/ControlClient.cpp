#include "service/virtual/ControlClient.h"

#include "platform/LocalSocket.h"
#include "service/virtual/AreaHex.h"
#include "service/virtual/ControlSocketPath.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <span>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrik::service {
namespace {

// Long enough for a dump of the whole memory on a slow machine.
constexpr std::chrono::seconds kReplyTimeout{10};
constexpr std::string_view kReplyEnd = "\n.\n";

} // namespace

ControlClient::ControlClient() : ControlClient(controlSocketPath()) {}

ControlClient::ControlClient(std::string socketPath) : socketPath_(std::move(socketPath)) {}

ControlClient::~ControlClient() {
    disconnect();
}

bool ControlClient::connect(std::string& error) {
    if (fd_) {
        return true;
    }
    errno = 0;
    platform::UniqueFd socket =
        platform::connectLocal(socketPath_, std::chrono::steady_clock::now() + kReplyTimeout);
    if (!socket) {
        error = socketPath_ + ": " +
                (errno != 0 ? std::strerror(errno) : "no usable control socket path");
        return false;
    }
    fd_ = std::move(socket);
    const timeval timeout{kReplyTimeout.count(), 0};
    ::setsockopt(fd_.get(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    return true;
}

void ControlClient::disconnect() {
    fd_.reset();
    received_.clear();
}

bool ControlClient::request(std::string_view command, std::string& reply, std::string& error) {
    reply.clear();
    if (command.find('\n') != std::string_view::npos) {
        error = "a command is one line";
        return false;
    }
    if (!connect(error)) {
        return false;
    }
    std::string line(command);
    line += '\n';
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
    if (!platform::sendAll(fd_.get(), bytes, std::chrono::steady_clock::now() + kReplyTimeout)) {
        error = std::string("sending failed: ") + std::strerror(errno);
        disconnect();
        return false;
    }
    // The reply ends with a line "."; it may be the very first line.
    for (;;) {
        const std::string framed = "\n" + received_;
        const std::size_t end = framed.find(kReplyEnd);
        if (end != std::string::npos) {
            reply = end == 0 ? std::string() : framed.substr(1, end - 1);
            received_.erase(0, end + kReplyEnd.size() - 1);
            return true;
        }
        char buffer[4096];
        const ssize_t count = ::recv(fd_.get(), buffer, sizeof buffer, 0);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            error = count == 0 ? "the virtual keyboard closed the connection"
                               : std::string("no reply: ") + std::strerror(errno);
            disconnect();
            return false;
        }
        received_.append(buffer, static_cast<std::size_t>(count));
    }
}

bool ControlClient::readArea(std::string_view area, std::vector<std::uint8_t>& bytes,
                             std::string& error) {
    std::string reply;
    if (!request("dump raw " + std::string(area), reply, error)) {
        return false;
    }
    if (!reply.starts_with("ok ")) {
        error = reply;
        return false;
    }
    std::string name;
    if (!parseArea(std::string_view(reply).substr(3), name, bytes) || name != area) {
        error = "malformed area dump";
        return false;
    }
    return true;
}

} // namespace tavrik::service
