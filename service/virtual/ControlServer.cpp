#include "service/virtual/ControlServer.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace tavrik::service {
namespace {

constexpr std::size_t kMaximumLineLength = 4096;
constexpr std::size_t kMaximumClients = 16;
constexpr int kSendTimeoutSeconds = 5;

struct Client {
    int fd = -1;
    std::string pending;
};

bool socketAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

// True when a live server answers on `path`.
bool someoneListens(const sockaddr_un& address) {
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0) {
        return false;
    }
    const bool connected =
        ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(probe);
    return connected;
}

bool sendAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t sent = ::send(fd, text.data(), text.size(), MSG_NOSIGNAL);
        if (sent < 0 && errno == EINTR) {
            continue;
        }
        if (sent <= 0) {
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
}

// Handles every complete line in the client's buffer. False when the
// connection is to be closed.
bool answerLines(Client& client, const ControlServer::Handler& handler) {
    for (;;) {
        const std::size_t end = client.pending.find('\n');
        if (end == std::string::npos) {
            if (client.pending.size() > kMaximumLineLength) {
                sendAll(client.fd, "error line too long\n.\n");
                return false;
            }
            return true;
        }
        std::string line = client.pending.substr(0, end);
        client.pending.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::string reply = handler(line);
        if (reply.empty() || reply.back() != '\n') {
            reply += '\n';
        }
        if (!sendAll(client.fd, reply + ".\n")) {
            return false;
        }
    }
}

} // namespace

ControlServer::ControlServer(std::string path, Handler handler)
    : path_(std::move(path)), handler_(std::move(handler)) {}

ControlServer::~ControlServer() {
    stop();
}

bool ControlServer::start(std::string& error) {
    sockaddr_un address{};
    if (!socketAddress(path_, address)) {
        error = "socket path empty or too long: " + path_;
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(path_).parent_path();
    std::error_code ignored;
    if (!folder.empty() && !std::filesystem::exists(folder, ignored)) {
        ::mkdir(folder.c_str(), S_IRWXU);
    }
    struct stat existing {};
    if (::lstat(path_.c_str(), &existing) == 0) {
        if (!S_ISSOCK(existing.st_mode)) {
            error = path_ + " exists and is not a socket";
            return false;
        }
        if (someoneListens(address)) {
            error = "another virtual keyboard serves " + path_;
            return false;
        }
        ::unlink(path_.c_str());
    }
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int wake[2] = {-1, -1};
    if (listener_ < 0 || ::pipe2(wake, O_CLOEXEC) != 0 ||
        ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::chmod(path_.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(listener_, 8) != 0) {
        error = path_ + ": " + std::strerror(errno);
        if (listener_ >= 0) {
            ::close(listener_);
        }
        if (wake[0] >= 0) {
            ::close(wake[0]);
            ::close(wake[1]);
        }
        listener_ = -1;
        return false;
    }
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    thread_ = std::thread([this] { serve(); });
    return true;
}

void ControlServer::stop() {
    if (!thread_.joinable()) {
        return;
    }
    const char byte = 0;
    while (::write(wakeWrite_, &byte, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
    ::close(listener_);
    ::close(wakeRead_);
    ::close(wakeWrite_);
    listener_ = wakeRead_ = wakeWrite_ = -1;
    ::unlink(path_.c_str());
}

void ControlServer::serve() {
    std::vector<Client> clients;
    for (;;) {
        std::vector<pollfd> watched = {{wakeRead_, POLLIN, 0}, {listener_, POLLIN, 0}};
        for (const Client& client : clients) {
            watched.push_back({client.fd, POLLIN, 0});
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
        // Clients first: indices in `watched` follow `clients` until it changes.
        for (std::size_t i = clients.size(); i-- > 0;) {
            if (watched[2 + i].revents == 0) {
                continue;
            }
            char buffer[1024];
            const ssize_t received = ::recv(clients[i].fd, buffer, sizeof buffer, 0);
            bool keep = received > 0 || (received < 0 && errno == EINTR);
            if (received > 0) {
                clients[i].pending.append(buffer, static_cast<std::size_t>(received));
                keep = answerLines(clients[i], handler_);
            }
            if (!keep) {
                ::close(clients[i].fd);
                clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        if (watched[1].revents & POLLIN) {
            const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0 && clients.size() >= kMaximumClients) {
                sendAll(fd, "error too many connections\n.\n");
                ::close(fd);
            } else if (fd >= 0) {
                // A client that stops reading must not stall the keyboard for long.
                const timeval timeout{kSendTimeoutSeconds, 0};
                ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
                clients.push_back({fd, {}});
            }
        }
    }
    for (const Client& client : clients) {
        ::close(client.fd);
    }
}

} // namespace tavrik::service
