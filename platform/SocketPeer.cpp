#include "platform/SocketPeer.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace tavrik::platform {

namespace {
// A peer sends one request and waits for its answer, so this much unanswered
// is a peer that floods; reading on would hold the thread and the memory.
constexpr std::size_t kMostHeld = 64 * 1024;
} // namespace

SocketPeer::SocketPeer(UniqueFd socket, QObject* parent)
    : QObject(parent), socket_(std::move(socket)),
      notifier_(socket_.get(), QSocketNotifier::Read, this) {}

void SocketPeer::receive() {
    received_.erase(received_.begin(), received_.begin() + static_cast<std::ptrdiff_t>(taken_));
    taken_ = 0;
    if (ended_) {
        return;
    }
    if (!receiveWaiting(socket_.get(), received_, kMostHeld)) {
        end(); // what it sent before it went is still served
    } else if (received_.size() >= kMostHeld) {
        received_.clear(); // none of a flood is served
        end();
    }
}

bool SocketPeer::take(std::span<std::uint8_t> bytes) {
    if (received_.size() - taken_ < bytes.size()) {
        return false;
    }
    const auto from = received_.begin() + static_cast<std::ptrdiff_t>(taken_);
    std::copy(from, from + static_cast<std::ptrdiff_t>(bytes.size()), bytes.begin());
    taken_ += bytes.size();
    return true;
}

bool SocketPeer::send(std::span<const std::uint8_t> bytes) {
    if (!ended_ && !sendAll(socket_.get(), bytes, std::chrono::steady_clock::now())) {
        end();
    }
    return !ended_;
}

void SocketPeer::setBusy(bool busy) {
    busy_ = busy;
    if (!busy_ && ended_) {
        deleteLater();
    }
}

void SocketPeer::end() {
    ended_ = true;
    // An ended socket stays readable; watching it on would spin.
    notifier_.setEnabled(false);
    if (!busy_) {
        deleteLater();
    }
}

} // namespace tavrik::platform
