#pragma once
// AF_UNIX stream sockets on a path: an owning descriptor, a listening socket
// file, and connect, send and receive that wait at most until a deadline.
// Sends never raise SIGPIPE; a peer that is gone is a failed send.

#include "platform/UniqueFd.h"

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <sys/types.h>
#include <vector>

namespace tavrik::platform {

using SocketDeadline = std::chrono::steady_clock::time_point;

// A socket file that listens for connections (non-blocking, close-on-exec),
// open to its user only. close() removes the file while it is still the one
// this listener made.
class LocalListener {
public:
    LocalListener() = default;
    ~LocalListener() { close(); }
    LocalListener(const LocalListener&) = delete;
    LocalListener& operator=(const LocalListener&) = delete;

    // Fails when anything is at the path already.
    bool listen(const std::string& path);
    void close();
    bool isListening() const { return socket_.valid(); }
    int descriptor() const { return socket_.get(); }
    const std::string& path() const { return path_; }
    // The next waiting connection (non-blocking, close-on-exec); none when
    // nobody waits.
    UniqueFd accept() const;

private:
    UniqueFd socket_;
    std::string path_;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};

// Connects to the socket at `path`; waits for room in a full listen queue
// until the deadline. None when nobody listens there.
UniqueFd connectLocal(const std::string& path, SocketDeadline deadline);

// Sends all of `bytes`, waiting for room until the deadline.
bool sendAll(int socket, std::span<const std::uint8_t> bytes, SocketDeadline deadline);
// Fills `bytes`, waiting for them until the deadline; false when the peer
// ends or the deadline passes first.
bool receiveAll(int socket, std::span<std::uint8_t> bytes, SocketDeadline deadline);
// Appends what has arrived without waiting, until `into` holds `limit`
// bytes; false once the peer has ended or the connection broke.
bool receiveWaiting(int socket, std::vector<std::uint8_t>& into, std::size_t limit);

// The process at the other end, 0 when unknown.
pid_t peerProcess(int socket);

} // namespace tavrik::platform
