#pragma once
// One keyboard, one writer at a time. Every command exchange (a command
// packet written to a keyboard's command collection, until the answer that
// echoes its code, length and address) runs under the keyboard's
// cross-process lock, and so does every write sequence, from a beginWrite the
// keyboard accepted to its endWrite. Before each exchange the backend drains
// what the keyboard sent before, and answers reach the command channels only
// while an exchange of this process waits for one: every process receives
// every input report, as every hidraw handle does, so an answer that comes at
// any other time answers another process (or came too late for its own).
//
// The lock is kept for a moment after the last exchange (the linger), so
// that the exchanges of one operation, a read of the key map pages and the
// macro area for instance, follow each other without another process's write
// between them. When things go wrong:
//   - the lock cannot be had within the lock wait: the command is refused,
//     nothing is sent and the caller reports a failed write. The wait is
//     many times the largest write; a holder that keeps the keyboard longer
//     is stuck, and waiting for ever would hang the caller with it, and a
//     program's window with the caller.
//   - the holder dies: the system drops its lock at once and the next
//     process goes on. What it wrote and did not commit stays in the
//     keyboard's working memory, as on the keyboard itself.
//   - an answer does not come: the lock is kept for the answer bound, longer
//     than the protocol waits for an answer, so that the attempts of one
//     command stay this process's.
//   - a sequence is not ended: after the sequence bound without an exchange
//     the lock is let go, and the sequence is broken: its further writes,
//     endWrite included, are refused, so that a holder that wakes up again
//     cannot commit its data mixed with another process's.
//   - the device restarts (a shared virtual keyboard changes the process
//     that serves it): an open sequence is broken the same way, since what
//     it wrote is gone.
// Nothing here wakes while the lock is not held.

#include "service/Backend.h"
#include "service/DeviceLock.h"
#include "service/HidInterface.h"

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

namespace tavrik::service {

struct ExchangeBounds {
    std::chrono::milliseconds lockWait{10000};
    std::chrono::milliseconds answer{1500};
    std::chrono::milliseconds sequence{5000};
    std::chrono::milliseconds linger{50};
};

class CommandExchanges {
public:
    explicit CommandExchanges(ExchangeBounds bounds = {});
    ~CommandExchanges();
    CommandExchanges(const CommandExchanges&) = delete;
    CommandExchanges& operator=(const CommandExchanges&) = delete;

    // Whether writing `report` to `target` is a command exchange.
    static bool isCommand(const HidInterface& target, std::span<const std::uint8_t> report);
    static bool isCommandCollection(const HidInterface& device);

    // Writes one command packet under the lock: 1 when written, -1 when
    // refused or the device refused the report. One at a time.
    std::int32_t write(Backend& backend, std::uint32_t interfaceId,
                       std::span<const std::uint8_t> packet);
    // A command packet that found no device to go to.
    void noDevice(std::span<const std::uint8_t> packet);
    // An input report of a command collection: whether it goes to the
    // command channels.
    bool accept(std::uint32_t interfaceId, std::span<const std::uint8_t> report);

    void interfacesChanged(const std::vector<HidInterface>& present);
    void deviceRestarted();
    // Lets go of the lock and joins the thread that keeps its bounds.
    void stop();

private:
    using Clock = std::chrono::steady_clock;

    bool acquire(Backend& backend, std::uint32_t interfaceId);
    // Whether a broken sequence may not send `code`; its endWrite ends it.
    bool refusedLocked(std::uint8_t code);
    void watch();
    Clock::time_point holdUntilLocked() const;
    void expireLocked();
    void releaseLocked();
    void breakSequenceLocked(const char* why);

    const ExchangeBounds bounds_;
    // Keeps whole writes (lock, drain, write) of this process apart.
    std::mutex writerMutex_;

    std::mutex mutex_;
    std::condition_variable wake_;
    // Held while set, for the device of `interface_`.
    std::shared_ptr<DeviceLock> lock_;
    // The command collection of the last exchange.
    std::uint32_t interface_ = 0;
    // An exchange waits for the answer that carries `key_`.
    bool waiting_ = false;
    std::array<std::uint8_t, 4> key_{};
    std::uint8_t command_ = 0;
    Clock::time_point sentAt_{};
    Clock::time_point lastActivity_{};
    bool sequenceOpen_ = false;
    bool sequenceBroken_ = false;
    // A write of this process is between its start and its return.
    bool writing_ = false;
    bool stopping_ = false;
    std::thread watchdog_;
};

} // namespace tavrik::service
