#include "service/virtual/DeviceWire.h"

#include "platform/ByteOrder.h"

#include <algorithm>

namespace tavrik::service {
namespace {

constexpr std::size_t kStateSize = 5;
constexpr std::size_t kInterfaceSize = 4;

bool knownType(std::uint8_t type) {
    switch (static_cast<WireType>(type)) {
    case WireType::State:
    case WireType::Report:
    case WireType::Written:
    case WireType::Synced:
    case WireType::Write:
    case WireType::Sync:
        return true;
    }
    return false;
}

} // namespace

std::vector<std::uint8_t> encodeWire(WireType type, std::span<const std::uint8_t> payload) {
    std::vector<std::uint8_t> message;
    message.reserve(kWireHeaderSize + payload.size());
    message.push_back(static_cast<std::uint8_t>(type));
    message.push_back(static_cast<std::uint8_t>(payload.size()));
    message.insert(message.end(), payload.begin(), payload.end());
    return message;
}

std::vector<std::uint8_t> encodeWireState(const DeviceState& state) {
    std::uint8_t payload[kStateSize] = {static_cast<std::uint8_t>(state.plugged ? 1 : 0)};
    platform::writeU32(payload + 1, state.generation);
    return encodeWire(WireType::State, payload);
}

std::vector<std::uint8_t> encodeWireReport(WireType type, std::uint32_t interfaceId,
                                           std::span<const std::uint8_t> report) {
    std::uint8_t payload[kInterfaceSize + kMaximumWireReport] = {};
    const std::size_t length = std::min(report.size(), kMaximumWireReport);
    platform::writeU32(payload, interfaceId);
    std::copy_n(report.begin(), length, payload + kInterfaceSize);
    return encodeWire(type, std::span(payload, kInterfaceSize + length));
}

std::optional<WireMessage> takeWire(std::vector<std::uint8_t>& buffer, bool& malformed) {
    malformed = false;
    if (buffer.size() < kWireHeaderSize) {
        return std::nullopt;
    }
    const std::size_t length = buffer[1];
    if (!knownType(buffer[0]) || length > kInterfaceSize + kMaximumWireReport) {
        malformed = true;
        return std::nullopt;
    }
    if (buffer.size() < kWireHeaderSize + length) {
        return std::nullopt;
    }
    WireMessage message;
    message.type = static_cast<WireType>(buffer[0]);
    message.payload.assign(buffer.begin() + kWireHeaderSize,
                           buffer.begin() + static_cast<std::ptrdiff_t>(kWireHeaderSize + length));
    buffer.erase(buffer.begin(),
                 buffer.begin() + static_cast<std::ptrdiff_t>(kWireHeaderSize + length));
    return message;
}

std::optional<DeviceState> decodeWireState(std::span<const std::uint8_t> payload) {
    if (payload.size() != kStateSize || payload[0] > 1) {
        return std::nullopt;
    }
    return DeviceState{payload[0] == 1, platform::readU32(payload.data() + 1)};
}

std::optional<WireReport> decodeWireReport(std::span<const std::uint8_t> payload) {
    if (payload.size() < kInterfaceSize) {
        return std::nullopt;
    }
    return WireReport{platform::readU32(payload.data()),
                      std::vector<std::uint8_t>(payload.begin() + kInterfaceSize, payload.end())};
}

} // namespace tavrik::service
