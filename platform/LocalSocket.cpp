#include "platform/LocalSocket.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <utility>

namespace tavrik::platform {
namespace {

using std::chrono::steady_clock;

// The kernel queues this many connections before connects wait.
constexpr int kListenBacklog = 50;

bool localAddress(const std::string& path, sockaddr_un& address) {
    address = sockaddr_un{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        return false;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

const sockaddr* asAddress(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

steady_clock::duration timeLeft(SocketDeadline deadline) {
    return std::max(deadline - steady_clock::now(), steady_clock::duration::zero());
}

// poll()'s timeout for the deadline: -1 for none.
int pollTimeout(SocketDeadline deadline) {
    if (deadline == SocketDeadline::max()) {
        return -1;
    }
    const auto milliseconds =
        std::chrono::ceil<std::chrono::milliseconds>(timeLeft(deadline)).count();
    return static_cast<int>(std::min<std::chrono::milliseconds::rep>(milliseconds, INT_MAX));
}

// Whether `events` (or an end or error, which the next call reports) came
// before the deadline.
bool waitFor(int socket, short events, SocketDeadline deadline) {
    pollfd watched{socket, events, 0};
    for (;;) {
        const int ready = ::poll(&watched, 1, pollTimeout(deadline));
        if (ready >= 0) {
            return ready > 0;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

bool wouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

// After a send or receive failed with errno: whether trying again can help,
// once `events` came before the deadline.
bool mayGoOn(int socket, short events, SocketDeadline deadline) {
    return errno == EINTR || (wouldBlock() && waitFor(socket, events, deadline));
}

// Moves all of `bytes` through `transfer` (a send or a receive of what is
// left), waiting for `events` in between until the deadline. An end of the
// peer (0 moved) or an error is a failure.
template <typename Bytes, typename Transfer>
bool transferAll(int socket, Bytes bytes, short events, SocketDeadline deadline,
                 Transfer transfer) {
    while (!bytes.empty()) {
        const ssize_t moved = transfer(bytes);
        if (moved > 0) {
            bytes = bytes.subspan(static_cast<std::size_t>(moved));
        } else if (moved == 0 || !mayGoOn(socket, events, deadline)) {
            return false;
        }
    }
    return true;
}

// A blocking connect on a local socket waits only for room in the listen
// queue; the send timeout bounds that wait.
bool boundConnectWait(int socket, SocketDeadline deadline) {
    if (deadline == SocketDeadline::max()) {
        return true;
    }
    const auto left = std::max(std::chrono::ceil<std::chrono::microseconds>(timeLeft(deadline)),
                               std::chrono::microseconds(1));
    timeval timeout{};
    timeout.tv_sec = static_cast<time_t>(left.count() / 1000000);
    timeout.tv_usec = static_cast<suseconds_t>(left.count() % 1000000);
    return ::setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) == 0;
}

bool sameFile(const std::string& path, dev_t device, ino_t inode) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && status.st_dev == device && status.st_ino == inode;
}

} // namespace

bool LocalListener::listen(const std::string& path) {
    close();
    sockaddr_un address;
    if (!localAddress(path, address)) {
        return false;
    }
    UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!socket || ::bind(socket.get(), asAddress(address), sizeof address) != 0) {
        return false;
    }
    struct stat status {};
    if (::chmod(path.c_str(), S_IRUSR | S_IWUSR) != 0 || ::lstat(path.c_str(), &status) != 0 ||
        ::listen(socket.get(), kListenBacklog) != 0) {
        ::unlink(path.c_str());
        return false;
    }
    socket_ = std::move(socket);
    path_ = path;
    device_ = status.st_dev;
    inode_ = status.st_ino;
    return true;
}

void LocalListener::close() {
    if (!socket_) {
        return;
    }
    socket_.reset();
    // Another server may have taken the path since; its file stays.
    if (sameFile(path_, device_, inode_)) {
        ::unlink(path_.c_str());
    }
    path_.clear();
}

UniqueFd LocalListener::accept() const {
    for (;;) {
        const int connection =
            ::accept4(socket_.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (connection >= 0 || (errno != EINTR && errno != ECONNABORTED)) {
            return UniqueFd(connection);
        }
    }
}

UniqueFd connectLocal(const std::string& path, SocketDeadline deadline) {
    sockaddr_un address;
    if (!localAddress(path, address)) {
        return {};
    }
    UniqueFd socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket || !boundConnectWait(socket.get(), deadline)) {
        return {};
    }
    for (;;) {
        if (::connect(socket.get(), asAddress(address), sizeof address) == 0) {
            return socket;
        }
        if (errno != EINTR) {
            return {};
        }
    }
}

bool sendAll(int socket, std::span<const std::uint8_t> bytes, SocketDeadline deadline) {
    return transferAll(socket, bytes, POLLOUT, deadline, [socket](auto left) {
        return ::send(socket, left.data(), left.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    });
}

bool receiveAll(int socket, std::span<std::uint8_t> bytes, SocketDeadline deadline) {
    return transferAll(socket, bytes, POLLIN, deadline, [socket](auto left) {
        return ::recv(socket, left.data(), left.size(), MSG_DONTWAIT);
    });
}

bool receiveWaiting(int socket, std::vector<std::uint8_t>& into, std::size_t limit) {
    std::array<std::uint8_t, 512> chunk{};
    while (into.size() < limit) {
        const std::size_t room = std::min(chunk.size(), limit - into.size());
        const ssize_t received = ::recv(socket, chunk.data(), room, MSG_DONTWAIT);
        if (received > 0) {
            into.insert(into.end(), chunk.begin(), chunk.begin() + received);
        } else if (received < 0 && errno == EINTR) {
            continue;
        } else {
            return received < 0 && wouldBlock();
        }
    }
    return true;
}

pid_t peerProcess(int socket) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (socket < 0 || ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) {
        return 0;
    }
    return credentials.pid;
}

} // namespace tavrik::platform
