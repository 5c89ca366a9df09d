#include "service/virtual/ControlClient.h"

#include "service/virtual/AreaHex.h"
#include "service/virtual/ControlSocketPath.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavrik::service {
namespace {

// Long enough for a dump of the whole memory on a slow machine.
constexpr int kReplyTimeoutSeconds = 10;
constexpr std::string_view kReplyEnd = "\n.\n";

} // namespace

ControlClient::ControlClient() : ControlClient(controlSocketPath()) {}

ControlClient::ControlClient(std::string socketPath) : socketPath_(std::move(socketPath)) {}

ControlClient::~ControlClient() {
    disconnect();
}

bool ControlClient::connect(std::string& error) {
    if (fd_ >= 0) {
        return true;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath_.empty() || socketPath_.size() >= sizeof address.sun_path) {
        error = "no usable control socket path";
        return false;
    }
    std::memcpy(address.sun_path, socketPath_.c_str(), socketPath_.size() + 1);
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0 ||
        ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        error = socketPath_ + ": " + std::strerror(errno);
        disconnect();
        return false;
    }
    const timeval timeout{kReplyTimeoutSeconds, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    return true;
}

void ControlClient::disconnect() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = -1;
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
    for (std::string_view rest = line; !rest.empty();) {
        const ssize_t sent = ::send(fd_, rest.data(), rest.size(), MSG_NOSIGNAL);
        if (sent <= 0 && errno != EINTR) {
            error = std::string("sending failed: ") + std::strerror(errno);
            disconnect();
            return false;
        }
        rest.remove_prefix(sent > 0 ? static_cast<std::size_t>(sent) : 0);
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
        const ssize_t count = ::recv(fd_, buffer, sizeof buffer, 0);
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
