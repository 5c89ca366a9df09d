#pragma once
// The messages on a shared virtual keyboard's device socket, between the
// process that serves the keyboard and every other process that reaches it.
// Each is a type byte, a length byte and that many payload bytes; integers
// are little-endian.
//
//   to the others                      from the others
//   State    plugged u8, generation u32   Write  interface u32, report
//   Report   interface u32, report        Sync   (none)
//   Written  accepted u8
//   Synced   (none)
//
// State comes first on every connection and again with every change of the
// device's presence. Written answers each Write and Synced each Sync, in
// order; Synced follows every report sent to the connection before it.

#include "service/virtual/VirtualDevice.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tavrik::service {

enum class WireType : std::uint8_t {
    State = 1,
    Report = 2,
    Written = 3,
    Synced = 4,
    Write = 10,
    Sync = 11,
};

struct WireMessage {
    WireType type = WireType::State;
    std::vector<std::uint8_t> payload;
};

// A report of at most 64 bytes behind its interface id.
struct WireReport {
    std::uint32_t interfaceId = 0;
    std::vector<std::uint8_t> report;
};

inline constexpr std::size_t kWireHeaderSize = 2;
inline constexpr std::size_t kMaximumWireReport = 64;

std::vector<std::uint8_t> encodeWire(WireType type, std::span<const std::uint8_t> payload = {});
std::vector<std::uint8_t> encodeWireState(const DeviceState& state);
std::vector<std::uint8_t> encodeWireReport(WireType type, std::uint32_t interfaceId,
                                           std::span<const std::uint8_t> report);

// Takes the first whole message off the front of `buffer`; none while it is
// incomplete. `malformed` is set, and nothing taken, for bytes that are no
// message of this kind.
std::optional<WireMessage> takeWire(std::vector<std::uint8_t>& buffer, bool& malformed);

std::optional<DeviceState> decodeWireState(std::span<const std::uint8_t> payload);
std::optional<WireReport> decodeWireReport(std::span<const std::uint8_t> payload);

} // namespace tavrik::service
