#include "service/CommandExchanges.h"

#include "service/Diagnostics.h"

#include <algorithm>

namespace tavrik::service {
namespace {

// What the exchanges need of the command protocol.
constexpr std::uint8_t kCommandReportId = 0x04;
constexpr std::size_t kKeyOffset = 3; // code, length, address: what an answer echoes
constexpr std::size_t kStatusOffset = 7;
constexpr std::uint8_t kBeginWrite = 0x01;
constexpr std::uint8_t kEndWrite = 0x02;
constexpr std::uint8_t kStatusRefused = 0xFF;
constexpr std::uint8_t kStatusBadChecksum = 0xFE;

// The commands that change the keyboard's memory, endWrite among them: what a
// broken sequence may no longer send.
bool changesMemory(std::uint8_t code) {
    switch (code) {
    case kEndWrite:
    case 0x04: // device information
    case 0x06: // lighting parameters
    case 0x08: // key map page
    case 0x0A: // macro area
    case 0x11: // zone colours
        return true;
    default:
        return false;
    }
}

long long millisecondsOf(std::chrono::milliseconds duration) {
    return static_cast<long long>(duration.count());
}

} // namespace

CommandExchanges::CommandExchanges(ExchangeBounds bounds) : bounds_(bounds) {}

CommandExchanges::~CommandExchanges() {
    stop();
}

bool CommandExchanges::isCommandCollection(const HidInterface& device) {
    return device.usagePage == kCommandUsagePage && device.usage == kCommandUsage;
}

bool CommandExchanges::isCommand(const HidInterface& target, std::span<const std::uint8_t> report) {
    return isCommandCollection(target) && report.size() > kStatusOffset &&
           report[0] == kCommandReportId;
}

std::int32_t CommandExchanges::write(Backend& backend, std::uint32_t interfaceId,
                                     std::span<const std::uint8_t> packet) {
    std::lock_guard writer(writerMutex_);
    const std::uint8_t code = packet[kKeyOffset];
    bool held = false;
    {
        std::lock_guard lock(mutex_);
        if (code == kBeginWrite) {
            sequenceBroken_ = false;
        }
        if (refusedLocked(code)) {
            return -1;
        }
        if (lock_ != nullptr && interface_ != interfaceId) {
            // Another keyboard now: the one held is let go.
            releaseLocked();
        }
        interface_ = interfaceId;
        held = lock_ != nullptr;
        writing_ = true;
    }
    if (!held && !acquire(backend, interfaceId)) {
        std::lock_guard lock(mutex_);
        writing_ = false;
        return -1;
    }
    // The exchange is not open yet: whatever the drain brings is dropped.
    backend.drainInput(interfaceId);
    {
        std::lock_guard lock(mutex_);
        // Once more: the drain waits for a keyboard that restarts meanwhile,
        // and its restart may have broken the sequence.
        if (refusedLocked(code)) {
            writing_ = false;
            return -1;
        }
        waiting_ = true;
        std::copy_n(packet.begin() + kKeyOffset, key_.size(), key_.begin());
        command_ = code;
        sentAt_ = lastActivity_ = Clock::now();
        if (code == kEndWrite) {
            sequenceOpen_ = false;
        }
    }
    const bool written = backend.writeOutput(interfaceId, packet);
    std::lock_guard lock(mutex_);
    writing_ = false;
    lastActivity_ = Clock::now();
    if (!written) {
        waiting_ = false;
    }
    return written ? 1 : -1;
}

bool CommandExchanges::refusedLocked(std::uint8_t code) {
    if (!sequenceBroken_ || !changesMemory(code)) {
        return false;
    }
    sequenceBroken_ = code != kEndWrite;
    diagnostic(kDiagnosticErrors,
               "command %02X refused: its write sequence lost the keyboard meanwhile", code);
    return true;
}

void CommandExchanges::noDevice(std::span<const std::uint8_t> packet) {
    std::lock_guard lock(mutex_);
    if (packet[kKeyOffset] == kEndWrite || packet[kKeyOffset] == kBeginWrite) {
        sequenceBroken_ = false;
        sequenceOpen_ = false;
    }
}

bool CommandExchanges::acquire(Backend& backend, std::uint32_t interfaceId) {
    std::shared_ptr<DeviceLock> lock = backend.exchangeLock(interfaceId);
    if (lock == nullptr) {
        return true; // no other process can reach this device
    }
    if (!lock->tryLock()) {
        diagnostic(kDiagnosticRequests, "another process holds the keyboard: waiting for it");
        if (!lock->lockUntil(Clock::now() + bounds_.lockWait)) {
            diagnostic(kDiagnosticErrors,
                       "another process held the keyboard for %lld ms: command refused",
                       millisecondsOf(bounds_.lockWait));
            return false;
        }
    }
    std::lock_guard guard(mutex_);
    lock_ = std::move(lock);
    lastActivity_ = Clock::now();
    if (!watchdog_.joinable()) {
        watchdog_ = std::thread([this] { watch(); });
    }
    wake_.notify_all();
    return true;
}

bool CommandExchanges::accept(std::uint32_t interfaceId, std::span<const std::uint8_t> report) {
    std::lock_guard lock(mutex_);
    if (!waiting_ || interfaceId != interface_) {
        return false;
    }
    lastActivity_ = Clock::now();
    if (report.size() > kStatusOffset &&
        std::equal(key_.begin(), key_.end(), report.begin() + kKeyOffset)) {
        waiting_ = false;
        const std::uint8_t status = report[kStatusOffset];
        if (command_ == kBeginWrite && status != kStatusRefused && status != kStatusBadChecksum) {
            sequenceOpen_ = true;
        }
    }
    return true;
}

void CommandExchanges::interfacesChanged(const std::vector<HidInterface>& present) {
    std::lock_guard lock(mutex_);
    const bool stillThere = std::any_of(present.begin(), present.end(), [this](const auto& device) {
        return device.id == interface_;
    });
    if (stillThere) {
        return;
    }
    // The keyboard is gone, and what it held uncommitted with it.
    waiting_ = false;
    sequenceOpen_ = false;
    sequenceBroken_ = false;
    if (lock_ != nullptr) {
        releaseLocked();
    }
}

void CommandExchanges::deviceRestarted() {
    std::lock_guard lock(mutex_);
    waiting_ = false;
    if (sequenceOpen_) {
        breakSequenceLocked("the keyboard restarted");
    }
}

void CommandExchanges::stop() {
    std::thread watchdog;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        if (lock_ != nullptr) {
            releaseLocked();
        }
        waiting_ = false;
        sequenceOpen_ = false;
        sequenceBroken_ = false;
        watchdog = std::move(watchdog_);
    }
    wake_.notify_all();
    if (watchdog.joinable()) {
        watchdog.join();
    }
    std::lock_guard lock(mutex_);
    stopping_ = false;
}

void CommandExchanges::watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (lock_ == nullptr) {
            wake_.wait(lock);
            continue;
        }
        const Clock::time_point now = Clock::now();
        if (writing_) {
            // Never let go in the middle of a write: look again after it.
            wake_.wait_until(lock, now + bounds_.linger);
            continue;
        }
        const Clock::time_point until = holdUntilLocked();
        if (now >= until) {
            expireLocked();
            continue;
        }
        // An answer or an endWrite shortens the hold to the linger: look again
        // after one.
        const Clock::time_point next =
            waiting_ || sequenceOpen_ ? std::min(until, now + bounds_.linger) : until;
        wake_.wait_until(lock, next);
    }
}

CommandExchanges::Clock::time_point CommandExchanges::holdUntilLocked() const {
    Clock::time_point until = lastActivity_ + bounds_.linger;
    if (waiting_) {
        until = std::max(until, sentAt_ + bounds_.answer);
    }
    if (sequenceOpen_) {
        until = std::max(until, lastActivity_ + bounds_.sequence);
    }
    return until;
}

void CommandExchanges::expireLocked() {
    // An answer that comes after this is late, and dropped.
    waiting_ = false;
    if (sequenceOpen_) {
        breakSequenceLocked("it was not ended in time");
    }
    releaseLocked();
}

void CommandExchanges::breakSequenceLocked(const char* why) {
    diagnostic(kDiagnosticErrors,
               "write sequence broken (%s): its further writes are refused until its end", why);
    sequenceOpen_ = false;
    sequenceBroken_ = true;
}

void CommandExchanges::releaseLocked() {
    lock_->unlock();
    lock_.reset();
}

} // namespace tavrik::service
