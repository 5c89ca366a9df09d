#pragma once
// Writes seed inputs of a fuzz target into the folder given on its command line.

#include <cstdint>
#include <fstream>
#include <span>
#include <string>

namespace tavrik::fuzz {

inline bool writeSeed(const std::string& folder, const std::string& name,
                      std::span<const std::uint8_t> bytes) {
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace tavrik::fuzz
