#include "service/virtual/StateFile.h"

#include "platform/AtomicFile.h"
#include "platform/ByteOrder.h"
#include "platform/Crc32.h"
#include "platform/HomeFolder.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>

namespace tavrik::service {
namespace {

using platform::crc32;
using platform::readU16;
using platform::readU32;
using platform::writeU16;
using platform::writeU32;

constexpr std::array<std::uint8_t, 4> kMagic = {'T', 'V', 'K', 'S'};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kAreaHeaderSize = 6;
constexpr std::size_t kChecksumSize = 4;

// The stored areas in id order (ids 1..5); const or not as the memory is.
template <typename Memory> auto areasOf(Memory& memory) {
    using Byte = std::conditional_t<std::is_const_v<Memory>, const std::uint8_t, std::uint8_t>;
    return std::array<std::span<Byte>, 5>{memory.info, memory.pages, memory.macro, memory.lighting,
                                          memory.zones};
}

} // namespace

std::vector<std::uint8_t> encodeState(const KeyboardMemory& memory) {
    const auto areas = areasOf(memory);
    std::vector<std::uint8_t> bytes(kHeaderSize);
    std::copy(kMagic.begin(), kMagic.end(), bytes.begin());
    writeU16(&bytes[4], kVersion);
    writeU16(&bytes[6], static_cast<std::uint16_t>(areas.size()));
    for (std::size_t i = 0; i < areas.size(); ++i) {
        std::array<std::uint8_t, kAreaHeaderSize> header{};
        writeU16(&header[0], static_cast<std::uint16_t>(i + 1));
        writeU32(&header[2], static_cast<std::uint32_t>(areas[i].size()));
        bytes.insert(bytes.end(), header.begin(), header.end());
        bytes.insert(bytes.end(), areas[i].begin(), areas[i].end());
    }
    std::array<std::uint8_t, kChecksumSize> checksum{};
    writeU32(checksum.data(), crc32(bytes));
    bytes.insert(bytes.end(), checksum.begin(), checksum.end());
    return bytes;
}

bool decodeState(std::span<const std::uint8_t> bytes, KeyboardMemory& memory) {
    if (bytes.size() < kHeaderSize + kChecksumSize ||
        !std::equal(kMagic.begin(), kMagic.end(), bytes.begin()) ||
        readU16(&bytes[4]) != kVersion) {
        return false;
    }
    const std::span<const std::uint8_t> body = bytes.first(bytes.size() - kChecksumSize);
    if (readU32(&bytes[body.size()]) != crc32(body)) {
        return false;
    }
    const auto areas = areasOf(memory);
    const std::size_t count = readU16(&bytes[6]);
    if (count != areas.size()) {
        return false;
    }
    std::array<bool, 5> seen{};
    std::size_t position = kHeaderSize;
    for (std::size_t i = 0; i < count; ++i) {
        if (body.size() - position < kAreaHeaderSize) {
            return false;
        }
        const std::uint16_t id = readU16(&body[position]);
        const std::uint32_t size = readU32(&body[position + 2]);
        position += kAreaHeaderSize;
        if (id < 1 || id > areas.size() || seen[id - 1] || size != areas[id - 1].size() ||
            body.size() - position < size) {
            return false;
        }
        seen[id - 1] = true;
        std::copy_n(body.begin() + static_cast<std::ptrdiff_t>(position), size,
                    areas[id - 1].begin());
        position += size;
    }
    if (position != body.size() || memory.info[kActiveProfileByte] >= kProfileCount) {
        return false;
    }
    memory.setHardwareDescription();
    return true;
}

StateLoad loadStateFile(const std::string& path, KeyboardMemory& memory) {
    std::string contents;
    std::error_code error;
    if (path.empty() || !std::filesystem::exists(path, error)) {
        memory = KeyboardMemory::factoryFresh();
        return StateLoad::Missing;
    }
    if (!platform::readWholeFile(path, contents) ||
        !decodeState(
            std::span(reinterpret_cast<const std::uint8_t*>(contents.data()), contents.size()),
            memory)) {
        memory = KeyboardMemory::factoryFresh();
        return StateLoad::Corrupt;
    }
    return StateLoad::Loaded;
}

bool saveStateFile(const std::string& path, const KeyboardMemory& memory) {
    if (path.empty()) {
        return false;
    }
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
        std::filesystem::create_directories(folder, error);
        ::chmod(folder.c_str(), S_IRWXU);
    }
    const std::vector<std::uint8_t> bytes = encodeState(memory);
    return platform::writeFileAtomically(path, {std::span<const std::uint8_t>(bytes)});
}

std::string stateFilePathFromEnvironment() {
    const char* explicitPath = std::getenv("VEZAROR_VIRTUAL_STATE");
    if (explicitPath != nullptr && explicitPath[0] != '\0') {
        return explicitPath;
    }
    const std::string base = platform::xdgBaseFolder("XDG_STATE_HOME", ".local/state");
    return base.empty() ? std::string() : base + "/tavrik/virtual-keyboard.state";
}

} // namespace tavrik::service
