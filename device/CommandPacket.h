#pragma once
// The 64-byte command packet: report number 0x04, a 16-bit checksum, the
// command code, the data length, a 16-bit address, a status byte and up to
// 56 data bytes. Answers have the same layout and echo the command code.

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrik::device {

inline constexpr std::size_t kPacketSize = 64;
inline constexpr std::size_t kPacketDataOffset = 8;
inline constexpr std::size_t kPacketDataCapacity = kPacketSize - kPacketDataOffset; // 56
inline constexpr std::uint8_t kCommandReportNumber = 0x04;

namespace packet {
constexpr std::size_t ReportNumber = 0;
constexpr std::size_t Checksum = 1;
constexpr std::size_t CommandCode = 3;
constexpr std::size_t Length = 4;
constexpr std::size_t Address = 5;
constexpr std::size_t Status = 7;
} // namespace packet

enum class CommandCode : std::uint8_t {
    BeginWrite = 0x01,
    EndWrite = 0x02,
    ReadDeviceInfo = 0x03,
    WriteDeviceInfo = 0x04,
    ReadParameters = 0x05,
    WriteParameters = 0x06,
    ReadKeyMapPage = 0x07,
    WriteKeyMapPage = 0x08,
    ReadMacroArea = 0x09,
    WriteMacroArea = 0x0A,
    ReadDefaultLayout = 0x0F,
    ReadColours = 0x10,
    WriteColours = 0x11,
};

using CommandPacket = std::array<std::uint8_t, kPacketSize>;

// A request with report number, command code, length and address set, no
// data, status 0 and no checksum yet.
CommandPacket makeCommandPacket(CommandCode code, std::uint8_t length, std::uint16_t address);

// The sum of bytes 3..63 as a 32-bit value; its low 16 bits are the checksum.
std::uint32_t packetChecksum(const CommandPacket& packet);

// Writes the checksum into bytes 1..2, little-endian. Call it after every
// other byte of the packet is in place.
void writePacketChecksum(CommandPacket& packet);

} // namespace tavrik::device
