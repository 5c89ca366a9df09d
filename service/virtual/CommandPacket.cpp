#include "service/virtual/CommandPacket.h"

#include "platform/ByteOrder.h"

namespace tavrik::service {

std::uint16_t packetChecksum(const Packet& packet) {
    std::uint32_t sum = 0;
    for (std::size_t i = kPacketCodeOffset; i < packet.size(); ++i) {
        sum += packet[i];
    }
    return static_cast<std::uint16_t>(sum);
}

void sealPacket(Packet& packet) {
    platform::writeU16(&packet[1], packetChecksum(packet));
}

bool hasValidChecksum(const Packet& packet) {
    return platform::readU16(&packet[1]) == packetChecksum(packet);
}

} // namespace tavrik::service
