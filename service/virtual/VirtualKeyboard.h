#pragma once
// The keyboard's side of the command protocol over its memory. Writes land in
// the working memory; an end-of-write command commits them, as the keyboard
// commits to its flash, and a keyboard that loses power (unplugged) comes back
// with what was committed. Not thread-safe: the backend serialises access.

#include "service/virtual/CommandPacket.h"
#include "service/virtual/KeyboardMemory.h"

#include <cstdint>
#include <memory>
#include <span>

namespace tavrik::service {

class VirtualKeyboard {
public:
    // A factory-fresh keyboard.
    VirtualKeyboard();
    // A keyboard whose flash holds `stored`.
    explicit VirtualKeyboard(const KeyboardMemory& stored);

    struct Answer {
        Packet packet{};
        // The committed memory changed and is to be saved.
        bool committed = false;
    };

    // Executes one command packet and returns the answer. A refused command
    // (unknown code, length above 56, a range outside the command's area, an
    // active profile outside 0..2) answers status 0xFF and changes nothing; a
    // packet whose checksum is wrong answers 0xFE.
    Answer execute(const Packet& request);

    // The answer the keyboard gives to `request` with `status` and no data.
    static Packet emptyAnswer(const Packet& request, std::uint8_t status);

    // Power lost: the working memory returns to the committed one.
    void losePower();

    std::uint8_t activeProfile() const;
    // The profile key: makes `profile` (0..2) active and commits it.
    void switchProfile(std::uint8_t profile);
    // The lighting key: the active profile's record moves to the next
    // supported effect, committed.
    void stepEffect();

    const KeyboardMemory& memory() const { return *memory_; }
    const KeyboardMemory& committed() const { return *committed_; }

private:
    bool readArea(std::span<const std::uint8_t> area, const Packet& request, Packet& answer) const;
    bool writeArea(std::span<std::uint8_t> area, const Packet& request) const;
    bool writeDeviceInfo(const Packet& request, Answer& answer);

    // Heap-allocated: together some 70 KiB.
    std::unique_ptr<KeyboardMemory> memory_;
    std::unique_ptr<KeyboardMemory> committed_;
};

} // namespace tavrik::service
