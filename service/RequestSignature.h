#pragma once
// The signature that accompanies every request: the sum of the signature
// table entries of the selector bytes, the low four bytes of the callback
// address, the tag bytes and the data bytes.

#include "VezAror.h"

#include <cstdint>
#include <span>

namespace tavrik::service {

std::uint32_t requestSignature(const DeviceSelector& selector, VezArorCallback callback,
                               std::uint32_t tag, std::span<const std::uint8_t> data = {});

} // namespace tavrik::service
