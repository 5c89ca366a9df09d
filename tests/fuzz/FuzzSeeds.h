#pragma once
// Writes seed inputs of a fuzz target into the folder given on its command line.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <optional>
#include <span>
#include <string>

namespace tavrik::fuzz {

// The corpus folder, the one argument of a seed program; nothing, with the
// usage said, for any other command line.
inline std::optional<std::string> corpusFolder(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argc > 0 ? argv[0] : "seeds");
        return std::nullopt;
    }
    return std::string(argv[1]);
}

inline bool writeSeed(const std::string& folder, const std::string& name,
                      std::span<const std::uint8_t> bytes) {
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace tavrik::fuzz
