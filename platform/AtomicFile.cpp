#include "platform/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

std::atomic<WriteFunction> writeFunction{nullptr};

bool writeAll(int fd, std::span<const std::uint8_t> bytes) {
    WriteFunction write_ = writeFunction.load();
    if (write_ == nullptr) {
        write_ = [](int file, const void* data, size_t size) { return ::write(file, data, size); };
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write_(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool writeFileAtomically(const std::string& path,
                         std::initializer_list<std::span<const std::uint8_t>> parts) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool ok = true;
    for (const auto& part : parts) {
        if (!writeAll(fd, part)) {
            ok = false;
            break;
        }
    }
    ok = ok && ::fchmod(fd, 0644) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temporary.c_str(), path.c_str()) == 0) {
        syncFolder(folderOf(path));
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

bool readWholeFile(const std::string& path, std::string& contents) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    // One read for a file of known size (a stream copied a skin's megabytes
    // a character at a time); the size is a first guess only, as files of
    // /sys and /proc tell another or none.
    struct stat status {};
    const bool sized = ::fstat(descriptor, &status) == 0 && status.st_size > 0;
    std::string bytes(sized ? static_cast<std::size_t>(status.st_size) + 1 : 4096, '\0');
    std::size_t used = 0;
    bool failed = false;
    for (;;) {
        if (used == bytes.size()) {
            bytes.resize(bytes.size() * 2);
        }
        const ssize_t got = ::read(descriptor, bytes.data() + used, bytes.size() - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        failed = got < 0;
        if (got <= 0) {
            break;
        }
        used += static_cast<std::size_t>(got);
    }
    ::close(descriptor);
    if (failed) {
        return false;
    }
    bytes.resize(used);
    contents = std::move(bytes);
    return true;
}

void setWriteFunctionForTesting(WriteFunction function) {
    writeFunction.store(function);
}

} // namespace tavrik::platform
