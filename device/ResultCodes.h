#pragma once
// Results of the command transaction and the command operations. Callers
// decide what to show; the device link never shows a message.

namespace tavrik::device::result {

constexpr int Success = 1;
constexpr int NoKeyboard = 0;        // no keyboard present, or the wait for the answer failed
constexpr int WriteFailed = -1;      // the output report could not be written
constexpr int NoAnswer = -2;         // no matching answer after three attempts
constexpr int StatusFF = -102;       // the keyboard refused the command with status 0xFF
constexpr int StatusFE = -103;       // the keyboard refused the command with status 0xFE
constexpr int PageOutOfRange = -201; // page commands: a page other than 0, 1, 2
// A single-packet command asked to move more than 56 bytes, or an address
// that does not fit the packet's 16-bit address field. Nothing is sent.
constexpr int RequestTooLong = -202;

} // namespace tavrik::device::result
