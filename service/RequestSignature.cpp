#include "service/RequestSignature.h"

#include "platform/ByteOrder.h"

#include <array>

namespace tavrik::service {
namespace {

using platform::writeU16;
using platform::writeU32;

std::uint32_t addBytes(std::uint32_t running, std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t byte : bytes) {
        running += VezArorSignatureTable[byte];
    }
    return running;
}

} // namespace

std::uint32_t requestSignature(const DeviceSelector& selector, VezArorCallback callback,
                               std::uint32_t tag, std::span<const std::uint8_t> data) {
    std::array<std::uint8_t, 24> descriptor{};
    writeU32(&descriptor[0], selector.matchMask);
    writeU16(&descriptor[4], selector.vendorId);
    writeU16(&descriptor[6], selector.productId);
    writeU16(&descriptor[8], selector.usagePage);
    writeU16(&descriptor[10], selector.usage);
    for (std::size_t i = 0; i < 4; ++i) {
        descriptor[12 + i] = selector.reserved[i];
    }
    // Addresses are 64 bits wide here; program and service sign the low four bytes.
    writeU32(&descriptor[16],
             static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(callback)));
    writeU32(&descriptor[20], tag);
    return addBytes(addBytes(0, descriptor), data);
}

} // namespace tavrik::service
