#pragma once
// The two headers in the first 64 bytes of an assignment table and of every
// profile file: ProfileFileHeader (bytes 0..31) and KeySectionHeader (32..63).

#include <cstddef>
#include <cstdint>
#include <span>

namespace tavrik::keyboard {

inline constexpr std::size_t kProfileFileHeaderSize = 32;
inline constexpr std::size_t kKeySectionHeaderSize = 32;
inline constexpr std::size_t kTableHeadersSize = kProfileFileHeaderSize + kKeySectionHeaderSize;

inline constexpr std::uint16_t kProfileFileMagic = 0x4446; // "FD"
inline constexpr std::uint16_t kProfileHeaderConstantAt4 = 3;
inline constexpr std::uint16_t kProfileHeaderConstantAt6 = 1;
inline constexpr std::uint16_t kKeyRecordCount = 2048;
inline constexpr std::uint32_t kAssignmentTableBytes = 32832;
inline constexpr std::uint32_t kMacroRecordBytes = 16512;
inline constexpr std::uint16_t kMaximumMacroCount = 100;

inline constexpr std::uint32_t kKeySectionMagic = 0x0020484B; // "KH " and 0
inline constexpr std::uint32_t kKeySectionSize = 32800;       // this header and the records
inline constexpr std::uint16_t kKeySectionLayers = 4;
inline constexpr std::uint16_t kKeySectionRecordsPerLayer = 512;
inline constexpr std::uint32_t kKeySectionDeviceWord = 0x65230C45;
inline constexpr std::uint32_t kKeySectionWordAt52 = 0x000E1C4F;

struct ProfileFileHeader {
    std::uint16_t magic = 0;
    std::uint16_t headerSize = 0;
    std::uint16_t constantAt4 = 0;
    std::uint16_t constantAt6 = 0;
    std::uint32_t totalSize = 0;
    std::uint16_t keyRecordCount = 0;
    std::uint16_t macroCount = 0;
    std::uint32_t stringPoolSize = 0;
    std::uint32_t reservedAt20 = 0;
    std::uint32_t reservedAt24 = 0;
    std::uint16_t reservedAt28 = 0;
    std::uint8_t flag = 0;
    std::uint8_t checksum = 0;
};

// 32832 + macroCount x 16512 + poolSize, computed without wrapping so that a
// reader can compare a header's total with it exactly.
constexpr std::uint64_t profileFileTotalSize(std::uint16_t macroCount, std::uint32_t poolSize) {
    return std::uint64_t{kAssignmentTableBytes} + std::uint64_t{macroCount} * kMacroRecordBytes +
           poolSize;
}

// Sum of bytes 0..30, modulo 256.
std::uint8_t profileHeaderChecksum(std::span<const std::uint8_t, kProfileFileHeaderSize> header);

// The header fill of every writer: the fields in table order with the given
// macro count, string pool size and flag, then the checksum at byte 31.
// The total size field holds the low 32 bits of profileFileTotalSize.
void fillProfileFileHeader(std::span<std::uint8_t, kProfileFileHeaderSize> header,
                           std::uint16_t macroCount, std::uint32_t poolSize, std::uint8_t flag);

void fillKeySectionHeader(std::span<std::uint8_t, kKeySectionHeaderSize> header);

// Both headers, as the default builder and the keyboard reader write them.
void fillTableHeaders(std::span<std::uint8_t, kTableHeadersSize> headers, std::uint16_t macroCount,
                      std::uint32_t poolSize, std::uint8_t flag);

// The fields as stored; checks are the caller's.
ProfileFileHeader
readProfileFileHeader(std::span<const std::uint8_t, kProfileFileHeaderSize> header);

} // namespace tavrik::keyboard
