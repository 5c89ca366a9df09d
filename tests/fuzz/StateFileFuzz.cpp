// The virtual keyboard's state file stands for its flash and may be damaged
// on disk: anything but a whole, intact state must be refused, and what is
// accepted must encode back to the same bytes.

#include "FuzzCheck.h"
#include "service/virtual/StateFile.h"

#include <vector>

using namespace tavrik::service;

using tavrik::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KeyboardMemory memory;
    if (!decodeState(std::span<const std::uint8_t>(data, size), memory)) {
        return 0;
    }
    const std::vector<std::uint8_t> encoded = encodeState(memory);
    check(encoded == std::vector<std::uint8_t>(data, data + size));
    KeyboardMemory again;
    check(decodeState(encoded, again));
    return 0;
}
