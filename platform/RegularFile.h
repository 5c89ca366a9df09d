#pragma once
// A file that the user names, opened for reading only when it is a regular
// file. Anything else may block the open (a FIFO waits for a writer) or act on
// a device, and the path can change between the look and the open, so the
// open does not block and the opened file is looked at again.

#include "platform/UniqueFd.h"

#include <cstdint>
#include <span>
#include <string>

namespace tavrik::platform {

class RegularFile {
public:
    enum class Open {
        Opened,
        Missing,    // nothing to be found at the path
        NotRegular, // a folder, FIFO, device or socket
        CannotOpen, // there, but not readable
    };

    Open open(const std::string& path);
    // The size when it was opened.
    std::uint64_t size() const { return size_; }
    // Reads exactly out.size() bytes from where the last read ended; false
    // when the file ends before or a read fails.
    bool readFully(std::span<std::uint8_t> out);
    // Reads exactly out.size() bytes at `offset`, leaving the position of
    // readFully where it was.
    bool readFullyAt(std::uint64_t offset, std::span<std::uint8_t> out);

private:
    UniqueFd descriptor_;
    std::uint64_t size_ = 0;
};

} // namespace tavrik::platform
