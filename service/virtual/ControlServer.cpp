#include "service/virtual/ControlServer.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <span>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tavrik::service {
namespace {

constexpr std::size_t kMaximumLineLength = 4096;
constexpr std::size_t kMaximumClients = 16;
constexpr std::chrono::seconds kSendTimeout{5};
// A connect to a live server succeeds at once; this only covers a full queue.
constexpr std::chrono::seconds kProbeTimeout{2};

struct Client {
    platform::UniqueFd fd;
    std::string pending;
};

// True when a live server answers on `path`.
bool someoneListens(const std::string& path) {
    return platform::connectLocal(path, std::chrono::steady_clock::now() + kProbeTimeout).valid();
}

// A client that stops reading must not stall the keyboard for long.
bool sendAll(int fd, std::string_view text) {
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return platform::sendAll(fd, bytes, std::chrono::steady_clock::now() + kSendTimeout);
}

// Handles every complete line in the client's buffer. False when the
// connection is to be closed.
bool answerLines(Client& client, const ControlServer::Handler& handler) {
    for (;;) {
        const std::size_t end = client.pending.find('\n');
        if (end == std::string::npos) {
            if (client.pending.size() > kMaximumLineLength) {
                sendAll(client.fd.get(), "error line too long\n.\n");
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
        if (!sendAll(client.fd.get(), reply + ".\n")) {
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
        if (someoneListens(path_)) {
            error = "another virtual keyboard serves " + path_;
            return false;
        }
        ::unlink(path_.c_str());
    }
    errno = 0;
    int wake[2] = {-1, -1};
    if (!listener_.listen(path_) || ::pipe2(wake, O_CLOEXEC) != 0) {
        error =
            path_ + ": " + (errno != 0 ? std::strerror(errno) : "socket path empty or too long");
        listener_.close();
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
    listener_.close();
    ::close(wakeRead_);
    ::close(wakeWrite_);
    wakeRead_ = wakeWrite_ = -1;
}

void ControlServer::serve() {
    std::vector<Client> clients;
    for (;;) {
        std::vector<pollfd> watched = {{wakeRead_, POLLIN, 0}, {listener_.descriptor(), POLLIN, 0}};
        for (const Client& client : clients) {
            watched.push_back({client.fd.get(), POLLIN, 0});
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
            const ssize_t received = ::recv(clients[i].fd.get(), buffer, sizeof buffer, 0);
            bool keep = received > 0 || (received < 0 && (errno == EINTR || errno == EAGAIN));
            if (received > 0) {
                clients[i].pending.append(buffer, static_cast<std::size_t>(received));
                keep = answerLines(clients[i], handler_);
            }
            if (!keep) {
                clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
            }
        }
        if (watched[1].revents & POLLIN) {
            platform::UniqueFd connection = listener_.accept();
            if (connection && clients.size() >= kMaximumClients) {
                sendAll(connection.get(), "error too many connections\n.\n");
            } else if (connection) {
                clients.push_back({std::move(connection), {}});
            }
        }
    }
}

} // namespace tavrik::service
