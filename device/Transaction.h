#pragma once
// One command transaction: a 64-byte packet written to the keyboard and its
// answer, which arrives on the command channel's thread and is handed over
// through the response hand-over.

#include "device/AutoResetEvent.h"
#include "device/ResultCodes.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <span>

namespace tavrik::device {

// The bytes of a request that its answer echoes: command code, length and
// address (bytes 3..6). An answer belongs to the request whose key it
// carries; one that came late for an earlier packet carries another key.
using AnswerKey = std::array<std::uint8_t, 4>;
inline constexpr std::size_t kAnswerKeyOffset = 3;

// The key of a packet (or an answer) of at least 7 bytes.
AnswerKey answerKeyOf(std::span<const std::uint8_t> packet);

// Where the command channel puts an answer while a transaction waits for it.
// The busy flag is the gate: answers that arrive while it is clear are
// dropped, and so is every answer that does not carry the waiting request's
// key. Buffer, capacity and length change only under the hand-over's lock,
// so an answer is never copied into a buffer whose transaction has already
// returned.
class ResponseHandover {
public:
    // Offers `buffer` for the answer that carries `key` and sets the busy
    // flag. Anything an earlier command left behind (a signal, a copied
    // length) is discarded.
    void publish(std::uint8_t* buffer, std::uint32_t capacity, const AnswerKey& key);
    // Clears the busy flag and withdraws the buffer; returns the copied length.
    std::uint32_t close();
    bool isBusy() const { return busy_.load(); }
    AutoResetEvent& event() { return event_; }

    // Called by the command channel: while busy and nothing was taken yet,
    // takes an answer that carries the published key: copies at most the
    // capacity, records the copied length and signals the event. Returns
    // whether the answer was taken.
    bool deliver(const std::uint8_t* data, std::uint32_t length);

    // Clear busy flag, no buffer, event not signalled.
    void reset();

private:
    std::mutex mutex_;
    std::atomic<bool> busy_{false};
    bool taken_ = false;
    AnswerKey key_{};
    std::uint8_t* buffer_ = nullptr;
    std::uint32_t capacity_ = 0;
    std::uint32_t length_ = 0;
    AutoResetEvent event_;
};

ResponseHandover& responseHandover();

// The number of keyboards present (a device count on the command selector);
// 0 when none is, or when no service is bound.
std::int32_t queryDeviceCount();

// Returns result::Success, NoKeyboard, WriteFailed or NoAnswer.
// Sends `request` (zero-filled or cut to 64 bytes) and waits for the answer
// that echoes its command code, length and address (bytes 3..6); answers
// that echo anything else are discarded while the wait goes on. Retries, at
// most three attempts in all, when no such answer comes within 1000 ms, when
// the answer is short (it must carry the status byte and the data the length
// byte asks for) or when it is a refusal (status byte 7 0xFF or 0xFE); a
// refusal that persists is returned as success with the answer in place, for
// the caller to map. `answerLength` receives the copied length (at most answer.size()).
// Whole transactions are serialised: one runs at a time in the process.
int transact(std::span<const std::uint8_t> request, std::span<std::uint8_t> answer,
             std::uint32_t& answerLength);

} // namespace tavrik::device
