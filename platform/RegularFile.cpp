#include "platform/RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tavrik::platform {

RegularFile::Open RegularFile::open(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return Open::Missing;
    }
    if (!S_ISREG(status.st_mode)) {
        return Open::NotRegular;
    }
    UniqueFd descriptor(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!descriptor) {
        return Open::CannotOpen;
    }
    if (::fstat(descriptor.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return Open::NotRegular;
    }
    descriptor_ = std::move(descriptor);
    size_ = static_cast<std::uint64_t>(status.st_size);
    return Open::Opened;
}

namespace {

// Fills `out` by calls of `read(at, count, done)`, the way read(2) answers.
template <typename Read> bool fill(std::span<std::uint8_t> out, Read&& read) {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = read(out.data() + done, out.size() - done, done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(got);
    }
    return true;
}

} // namespace

bool RegularFile::readFully(std::span<std::uint8_t> out) {
    return descriptor_ && fill(out, [this](std::uint8_t* at, std::size_t count, std::size_t) {
               return ::read(descriptor_.get(), at, count);
           });
}

bool RegularFile::readFullyAt(std::uint64_t offset, std::span<std::uint8_t> out) {
    return descriptor_ &&
           fill(out, [this, offset](std::uint8_t* at, std::size_t count, std::size_t done) {
               return ::pread(descriptor_.get(), at, count, static_cast<off_t>(offset + done));
           });
}

} // namespace tavrik::platform
