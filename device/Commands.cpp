#include "device/Commands.h"

#include "device/Clock.h"
#include "device/CommandPacket.h"
#include "device/Transaction.h"

#include <algorithm>
#include <atomic>
#include <chrono>

namespace tavrik::device {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kAddressLimit = 0x10000; // the packet's address field is 16 bits
constexpr std::uint32_t kColourBytes = 3;
constexpr std::uint32_t kColourSlotsPerProfile = 12;

std::atomic<int> lastActiveProfile{-1};

int statusResult(std::uint8_t status) {
    if (status == 0xFF) {
        return result::StatusFF;
    }
    if (status == 0xFE) {
        return result::StatusFE;
    }
    return result::Success;
}

// One packet out, its answer in `answer`; the answer's status mapped.
int exchange(CommandPacket& request, CommandPacket& answer) {
    writePacketChecksum(request);
    answer.fill(0);
    std::uint32_t answerLength = 0;
    const int transacted = transact(request, answer, answerLength);
    if (transacted != result::Success) {
        return transacted;
    }
    return statusResult(answer[packet::Status]);
}

bool fitsOnePacket(std::uint32_t length, std::uint32_t address) {
    return length <= kPacketDataCapacity && address < kAddressLimit;
}

bool fitsAddressRange(std::uint32_t base, std::size_t length) {
    return length <= kAddressLimit - base;
}

int sendWithoutData(CommandCode code) {
    CommandPacket request = makeCommandPacket(code, 0, 0);
    CommandPacket answer{};
    return exchange(request, answer);
}

int readOnePacket(CommandCode code, std::span<std::uint8_t> out, std::uint32_t length,
                  std::uint32_t address) {
    CommandPacket request = makeCommandPacket(code, static_cast<std::uint8_t>(length),
                                              static_cast<std::uint16_t>(address));
    CommandPacket answer{};
    const int exchanged = exchange(request, answer);
    if (exchanged == result::Success) {
        std::copy_n(answer.begin() + kPacketDataOffset, out.size(), out.begin());
    }
    return exchanged;
}

int writeOnePacket(CommandCode code, std::span<const std::uint8_t> bytes, std::uint32_t address) {
    CommandPacket request = makeCommandPacket(code, static_cast<std::uint8_t>(bytes.size()),
                                              static_cast<std::uint16_t>(address));
    std::copy(bytes.begin(), bytes.end(), request.begin() + kPacketDataOffset);
    CommandPacket answer{};
    return exchange(request, answer);
}

// Moves `out.size()` bytes from `base` on in 56-byte packets; the first
// failing packet ends the read.
int readChunked(CommandCode code, std::uint32_t base, std::span<std::uint8_t> out) {
    for (std::size_t offset = 0; offset < out.size(); offset += kPacketDataCapacity) {
        const std::size_t length = std::min(kPacketDataCapacity, out.size() - offset);
        const int read =
            readOnePacket(code, out.subspan(offset, length), static_cast<std::uint32_t>(length),
                          static_cast<std::uint32_t>(base + offset));
        if (read != result::Success) {
            return read;
        }
    }
    return result::Success;
}

int writeChunked(CommandCode code, std::uint32_t base, std::span<const std::uint8_t> bytes) {
    for (std::size_t offset = 0; offset < bytes.size(); offset += kPacketDataCapacity) {
        const std::size_t length = std::min(kPacketDataCapacity, bytes.size() - offset);
        const int written = writeOnePacket(code, bytes.subspan(offset, length),
                                           static_cast<std::uint32_t>(base + offset));
        if (written != result::Success) {
            return written;
        }
    }
    return result::Success;
}

bool isKeyMapPage(int page) {
    return page >= 0 && page < kKeyMapPageCount;
}

// 3 * (slot + 12 * profile), or kAddressLimit when it is not a valid address.
std::uint32_t colourAddress(int slot, int profile) {
    if (slot < 0 || profile < 0 || profile >= static_cast<int>(kAddressLimit) ||
        slot >= static_cast<int>(kAddressLimit)) {
        return kAddressLimit;
    }
    const std::uint64_t address =
        kColourBytes * (static_cast<std::uint64_t>(slot) +
                        kColourSlotsPerProfile * static_cast<std::uint64_t>(profile));
    return address < kAddressLimit ? static_cast<std::uint32_t>(address) : kAddressLimit;
}

} // namespace

int beginWrite() {
    return sendWithoutData(CommandCode::BeginWrite);
}

int endWrite() {
    // The keyboard needs a moment after the last data packet of a sequence.
    deviceClock().sleepFor(10ms);
    return sendWithoutData(CommandCode::EndWrite);
}

int readDeviceInfo(std::span<std::uint8_t, kDeviceInfoSize> info) {
    return readOnePacket(CommandCode::ReadDeviceInfo, info, kDeviceInfoSize, 0);
}

int writeDeviceInfo(std::span<const std::uint8_t, kDeviceInfoSize> info) {
    return writeOnePacket(CommandCode::WriteDeviceInfo, info, 0);
}

int readParameters(std::span<std::uint8_t, kSinglePacketBlockSize> out, std::uint32_t length,
                   std::uint32_t address) {
    if (!fitsOnePacket(length, address)) {
        return result::RequestTooLong;
    }
    return readOnePacket(CommandCode::ReadParameters, out, length, address);
}

int writeParameters(std::span<const std::uint8_t> bytes, std::uint32_t address) {
    if (bytes.size() > kPacketDataCapacity || !fitsOnePacket(0, address)) {
        return result::RequestTooLong;
    }
    return writeOnePacket(CommandCode::WriteParameters, bytes, address);
}

int readKeyMapPage(std::span<std::uint8_t, kKeyMapPageSize> out, int page) {
    if (!isKeyMapPage(page)) {
        return result::PageOutOfRange;
    }
    return readChunked(CommandCode::ReadKeyMapPage,
                       static_cast<std::uint32_t>(page * kKeyMapPageSize), out);
}

int writeKeyMapPage(std::span<const std::uint8_t, kKeyMapPageSize> page, int pageIndex) {
    if (!isKeyMapPage(pageIndex)) {
        return result::PageOutOfRange;
    }
    return writeChunked(CommandCode::WriteKeyMapPage,
                        static_cast<std::uint32_t>(pageIndex * kKeyMapPageSize), page);
}

int readMacroArea(std::span<std::uint8_t> out) {
    if (!fitsAddressRange(0, out.size())) {
        return result::RequestTooLong;
    }
    return readChunked(CommandCode::ReadMacroArea, 0, out);
}

int writeMacroArea(std::span<const std::uint8_t> bytes) {
    if (!fitsAddressRange(0, bytes.size())) {
        return result::RequestTooLong;
    }
    return writeChunked(CommandCode::WriteMacroArea, 0, bytes);
}

int readDefaultLayout(std::span<std::uint8_t, kDefaultLayoutSize> out) {
    return readChunked(CommandCode::ReadDefaultLayout, 0, out);
}

int readColours(std::span<std::uint8_t, kSinglePacketBlockSize> out, std::uint32_t length, int slot,
                int profile) {
    const std::uint32_t address = colourAddress(slot, profile);
    if (!fitsOnePacket(length, address)) {
        return result::RequestTooLong;
    }
    return readOnePacket(CommandCode::ReadColours, out, length, address);
}

int writeColours(std::span<const std::uint8_t> bytes, int slot, int profile) {
    const std::uint32_t address = colourAddress(slot, profile);
    if (bytes.size() > kPacketDataCapacity || !fitsOnePacket(0, address)) {
        return result::RequestTooLong;
    }
    return writeOnePacket(CommandCode::WriteColours, bytes, address);
}

int readActiveProfile() {
    std::uint8_t info[kDeviceInfoSize] = {};
    if (readDeviceInfo(info) != result::Success) {
        return -1;
    }
    const int profile = info[kDeviceInfoActiveProfile];
    lastActiveProfile.store(profile);
    return profile;
}

int cachedActiveProfile() {
    return lastActiveProfile.load();
}

void setCachedActiveProfile(int profile) {
    lastActiveProfile.store(profile);
}

} // namespace tavrik::device
