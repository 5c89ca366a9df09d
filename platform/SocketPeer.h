#pragma once
// A connection that a server accepted, watched on its thread's event loop:
// it gathers what the peer sends until that is taken, and knows when the
// peer has ended. Sends never wait, so a peer that stops reading cannot hold
// the server up. An ended peer deletes itself (later) once it is not busy.

#include "platform/LocalSocket.h"

#include <QObject>
#include <QSocketNotifier>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tavrik::platform {

class SocketPeer final : public QObject {
public:
    SocketPeer(UniqueFd socket, QObject* parent);

    // Activated whenever the peer has sent something or ended.
    QSocketNotifier& readNotifier() { return notifier_; }
    // Gathers what has arrived; after the peer's end it stops watching. A
    // peer that leaves far more unanswered than one request has ended.
    void receive();
    bool hasEnded() const { return ended_; }
    // Takes the first bytes.size() bytes that arrived; false while fewer
    // have.
    bool take(std::span<std::uint8_t> bytes);
    // Sends all of `bytes` at once; a peer that is gone or does not make
    // room for them has ended.
    bool send(std::span<const std::uint8_t> bytes);

    bool isBusy() const { return busy_; }
    void setBusy(bool busy);

private:
    void end();

    UniqueFd socket_;
    QSocketNotifier notifier_;
    // What arrived; the first taken_ bytes of it are taken, and go at the
    // next receive rather than with each take.
    std::vector<std::uint8_t> received_;
    std::size_t taken_ = 0;
    bool ended_ = false;
    bool busy_ = false;
};

} // namespace tavrik::platform
