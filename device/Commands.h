#pragma once
// The command operations: everything the program reads from or writes into
// the keyboard's memory. Each returns a code of ResultCodes.h. A write
// sequence is always beginWrite, the data commands, endWrite, on one thread.

#include "device/ResultCodes.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrik::device {

inline constexpr std::size_t kDeviceInfoSize = 44;
inline constexpr std::size_t kKeyMapPageSize = 512;
inline constexpr std::size_t kDefaultLayoutSize = 512;
inline constexpr std::size_t kSinglePacketBlockSize = 56; // parameters and colours
inline constexpr int kKeyMapPageCount = 3;                // one page per profile

// Device information block: the fields the device link relies on.
inline constexpr std::size_t kDeviceInfoActiveProfile = 10;
inline constexpr std::size_t kDeviceInfoMacroUnits = 11; // macro memory in 128-byte units

int beginWrite();
// Pauses 10 ms before it sends.
int endWrite();

int readDeviceInfo(std::span<std::uint8_t, kDeviceInfoSize> info);
int writeDeviceInfo(std::span<const std::uint8_t, kDeviceInfoSize> info);

// Lighting parameter area. The read asks for `length` bytes at `address` and
// always copies 56 answer bytes into `out`; the write moves bytes.size()
// bytes. At most 56 bytes per call.
int readParameters(std::span<std::uint8_t, kSinglePacketBlockSize> out, std::uint32_t length,
                   std::uint32_t address);
int writeParameters(std::span<const std::uint8_t> bytes, std::uint32_t address);

// Key map pages 0..2 (one per profile), moved in 56-byte packets at
// addresses page * 512 + offset. Another page gives PageOutOfRange and sends
// nothing.
int readKeyMapPage(std::span<std::uint8_t, kKeyMapPageSize> out, int page);
int writeKeyMapPage(std::span<const std::uint8_t, kKeyMapPageSize> page, int pageIndex);

// The macro area from address 0, in 56-byte packets; an empty span sends
// nothing and succeeds.
int readMacroArea(std::span<std::uint8_t> out);
int writeMacroArea(std::span<const std::uint8_t> bytes);

int readDefaultLayout(std::span<std::uint8_t, kDefaultLayoutSize> out);

// Zone colours at address 3 * (slot + 12 * profile). The read asks for
// `length` bytes and always copies 56 answer bytes into `out`; the write
// moves bytes.size() bytes (at most 56). `profile` is the lighting profile
// whose colours are meant.
int readColours(std::span<std::uint8_t, kSinglePacketBlockSize> out, std::uint32_t length, int slot,
                int profile);
int writeColours(std::span<const std::uint8_t> bytes, int slot, int profile);

// Byte 10 of the device information (the profile active on the keyboard,
// normally 0..2; callers check the range), which is also kept as the last
// known active profile; -1 when the block cannot be read.
int readActiveProfile();
// The last known active profile: -1 at start and once the keyboard went away.
int cachedActiveProfile();
void setCachedActiveProfile(int profile);

} // namespace tavrik::device
