#include "device/CommandPacket.h"

#include "platform/ByteOrder.h"

namespace tavrik::device {

CommandPacket makeCommandPacket(CommandCode code, std::uint8_t length, std::uint16_t address) {
    CommandPacket request{};
    request[packet::ReportNumber] = kCommandReportNumber;
    request[packet::CommandCode] = static_cast<std::uint8_t>(code);
    request[packet::Length] = length;
    platform::writeU16(&request[packet::Address], address);
    return request;
}

std::uint32_t packetChecksum(const CommandPacket& request) {
    std::uint32_t sum = 0;
    for (std::size_t i = packet::CommandCode; i < kPacketSize; ++i) {
        sum += request[i];
    }
    return sum;
}

void writePacketChecksum(CommandPacket& request) {
    platform::writeU16(&request[packet::Checksum],
                       static_cast<std::uint16_t>(packetChecksum(request)));
}

} // namespace tavrik::device
