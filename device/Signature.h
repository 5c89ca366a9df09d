#pragma once
// The identity of a request as the service sees it (a device selector, a
// callback and a tag) and the signature that accompanies every request.

#include "VezAror.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavrik::device {

// Adds the signature table entry of every byte of the block to `running`,
// modulo 2^32.
std::uint32_t computeSignature(std::uint32_t running, const std::uint8_t* bytes,
                               std::size_t length);

// The five uses of a request, one constant descriptor each.
enum class RequestUse { DeviceCount, CommandWrite, CommandChannel, ConsumerChannel, Led };

const RequestDescriptor& requestDescriptor(RequestUse use);

// The selector serialised field by field, little-endian.
std::array<std::uint8_t, 16> selectorBytes(const DeviceSelector& selector);

// Signature over the descriptor (16 selector bytes, the low four bytes of the
// callback address, the 4 tag bytes) followed by `length` data bytes.
std::uint32_t requestSignature(const RequestDescriptor& descriptor,
                               const std::uint8_t* data = nullptr, std::size_t length = 0);

} // namespace tavrik::device
