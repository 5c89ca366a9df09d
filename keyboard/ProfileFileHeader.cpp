#include "keyboard/ProfileFileHeader.h"

#include "platform/ByteOrder.h"

#include <algorithm>
#include <numeric>

namespace tavrik::keyboard {

using platform::readU16;
using platform::readU32;
using platform::writeU16;
using platform::writeU32;

std::uint8_t profileHeaderChecksum(std::span<const std::uint8_t, kProfileFileHeaderSize> header) {
    const unsigned sum = std::accumulate(header.begin(), header.end() - 1, 0u);
    return static_cast<std::uint8_t>(sum);
}

void fillProfileFileHeader(std::span<std::uint8_t, kProfileFileHeaderSize> header,
                           std::uint16_t macroCount, std::uint32_t poolSize, std::uint8_t flag) {
    std::uint8_t* bytes = header.data();
    std::fill(header.begin(), header.end(), std::uint8_t{0});
    writeU16(bytes + 0, kProfileFileMagic);
    writeU16(bytes + 2, static_cast<std::uint16_t>(kProfileFileHeaderSize));
    writeU16(bytes + 4, kProfileHeaderConstantAt4);
    writeU16(bytes + 6, kProfileHeaderConstantAt6);
    writeU32(bytes + 8, static_cast<std::uint32_t>(profileFileTotalSize(macroCount, poolSize)));
    writeU16(bytes + 12, kKeyRecordCount);
    writeU16(bytes + 14, macroCount);
    writeU32(bytes + 16, poolSize);
    bytes[30] = flag;
    bytes[31] = profileHeaderChecksum(header);
}

void fillKeySectionHeader(std::span<std::uint8_t, kKeySectionHeaderSize> header) {
    std::uint8_t* bytes = header.data();
    std::fill(header.begin(), header.end(), std::uint8_t{0});
    writeU32(bytes + 0, kKeySectionMagic);
    writeU32(bytes + 4, kKeySectionSize);
    writeU16(bytes + 8, kKeySectionLayers);
    writeU16(bytes + 10, kKeySectionRecordsPerLayer);
    writeU32(bytes + 16, kKeySectionDeviceWord);
    writeU32(bytes + 20, kKeySectionWordAt52);
}

void fillTableHeaders(std::span<std::uint8_t, kTableHeadersSize> headers, std::uint16_t macroCount,
                      std::uint32_t poolSize, std::uint8_t flag) {
    fillProfileFileHeader(headers.first<kProfileFileHeaderSize>(), macroCount, poolSize, flag);
    fillKeySectionHeader(headers.last<kKeySectionHeaderSize>());
}

ProfileFileHeader
readProfileFileHeader(std::span<const std::uint8_t, kProfileFileHeaderSize> header) {
    const std::uint8_t* bytes = header.data();
    ProfileFileHeader fields;
    fields.magic = readU16(bytes + 0);
    fields.headerSize = readU16(bytes + 2);
    fields.constantAt4 = readU16(bytes + 4);
    fields.constantAt6 = readU16(bytes + 6);
    fields.totalSize = readU32(bytes + 8);
    fields.keyRecordCount = readU16(bytes + 12);
    fields.macroCount = readU16(bytes + 14);
    fields.stringPoolSize = readU32(bytes + 16);
    fields.reservedAt20 = readU32(bytes + 20);
    fields.reservedAt24 = readU32(bytes + 24);
    fields.reservedAt28 = readU16(bytes + 28);
    fields.flag = bytes[30];
    fields.checksum = bytes[31];
    return fields;
}

} // namespace tavrik::keyboard
