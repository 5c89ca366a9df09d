#pragma once
// The 64-byte command packet as the keyboard sees it: report id, checksum,
// command code, length, address, status, 56 data bytes.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrik::service {

using Packet = std::array<std::uint8_t, 64>;

inline constexpr std::uint8_t kCommandReportId = 0x04;
inline constexpr std::size_t kPacketCodeOffset = 3;
inline constexpr std::size_t kPacketLengthOffset = 4;
inline constexpr std::size_t kPacketAddressOffset = 5;
inline constexpr std::size_t kPacketStatusOffset = 7;
inline constexpr std::size_t kPacketDataOffset = 8;
inline constexpr std::size_t kPacketMaximumData = 56;

inline constexpr std::uint8_t kStatusAccepted = 0x00;
inline constexpr std::uint8_t kStatusRefused = 0xFF;
inline constexpr std::uint8_t kStatusBadChecksum = 0xFE;

enum CommandCode : std::uint8_t {
    kBeginWrite = 0x01,
    kEndWrite = 0x02,
    kReadDeviceInfo = 0x03,
    kWriteDeviceInfo = 0x04,
    kReadParameters = 0x05,
    kWriteParameters = 0x06,
    kReadKeyMapPage = 0x07,
    kWriteKeyMapPage = 0x08,
    kReadMacroArea = 0x09,
    kWriteMacroArea = 0x0A,
    kReadDefaultLayout = 0x0F,
    kReadColours = 0x10,
    kWriteColours = 0x11,
};

// Sum of bytes 3..63, as bytes 1..2 carry it (low 16 bits).
std::uint16_t packetChecksum(const Packet& packet);
// Writes the checksum of the packet into bytes 1..2.
void sealPacket(Packet& packet);
bool hasValidChecksum(const Packet& packet);

} // namespace tavrik::service
