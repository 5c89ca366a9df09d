#include "device/Signature.h"

#include "device/DeviceEvents.h"
#include "platform/ByteOrder.h"

namespace tavrik::device {
namespace {

using platform::writeU16;
using platform::writeU32;

constexpr std::uint16_t kCommandUsagePage = 0xFF1C;
constexpr std::uint16_t kCommandUsage = 0x0092;
constexpr std::uint16_t kConsumerUsagePage = 0x000C;
constexpr std::uint16_t kConsumerUsage = 0x0001;
constexpr std::uint16_t kLedUsagePage = 0x0008;
constexpr std::uint16_t kLedUsage = 0x0089;

constexpr DeviceSelector selector(std::uint16_t usagePage, std::uint16_t usage) {
    return DeviceSelector{
        VEZAROR_MATCH_ALL, VEZAROR_VENDOR_ID, VEZAROR_PRODUCT_ID, usagePage, usage, {0, 0, 0, 0}};
}

const RequestDescriptor kDescriptors[] = {
    {selector(kCommandUsagePage, kCommandUsage), nullptr, 0},
    {selector(kCommandUsagePage, kCommandUsage), nullptr, 0},
    {selector(kCommandUsagePage, kCommandUsage), &DeviceEventCallback, VEZAROR_TAG_CTRL},
    {selector(kConsumerUsagePage, kConsumerUsage), &DeviceEventCallback, VEZAROR_TAG_CONS},
    {selector(kLedUsagePage, kLedUsage), &DeviceEventCallback, VEZAROR_TAG_LED},
};

} // namespace

std::uint32_t computeSignature(std::uint32_t running, const std::uint8_t* bytes,
                               std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        running += VezArorSignatureTable[bytes[i]];
    }
    return running;
}

const RequestDescriptor& requestDescriptor(RequestUse use) {
    return kDescriptors[static_cast<std::size_t>(use)];
}

std::array<std::uint8_t, 16> selectorBytes(const DeviceSelector& selector) {
    std::array<std::uint8_t, 16> bytes{};
    writeU32(&bytes[0], selector.matchMask);
    writeU16(&bytes[4], selector.vendorId);
    writeU16(&bytes[6], selector.productId);
    writeU16(&bytes[8], selector.usagePage);
    writeU16(&bytes[10], selector.usage);
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[12 + i] = selector.reserved[i];
    }
    return bytes;
}

std::uint32_t requestSignature(const RequestDescriptor& descriptor, const std::uint8_t* data,
                               std::size_t length) {
    const std::array<std::uint8_t, 16> selector = selectorBytes(descriptor.selector);
    // On 64-bit addresses only the low four bytes of the callback are signed.
    std::array<std::uint8_t, 8> callbackAndTag{};
    writeU32(&callbackAndTag[0],
             static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(descriptor.callback)));
    writeU32(&callbackAndTag[4], descriptor.tag);
    std::uint32_t signature = computeSignature(0, selector.data(), selector.size());
    signature = computeSignature(signature, callbackAndTag.data(), callbackAndTag.size());
    return computeSignature(signature, data, length);
}

} // namespace tavrik::device
