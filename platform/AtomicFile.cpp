#include "platform/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string_view>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

std::atomic<WriteFunction> writeFunction{nullptr};

// The first failure of a save, as errno tells it; a step that failed
// without setting errno counts as an input/output error.
int failureNumber() {
    return errno != 0 ? errno : EIO;
}

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
            if (written == 0) {
                errno = ENOSPC;
            }
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

// A new file is the user's alone; a replaced one keeps the permissions it
// was given.
mode_t permissionsFor(const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        return existing.st_mode & 0777;
    }
    return S_IRUSR | S_IWUSR;
}

// The file a save writes before it takes the target's place. Where the file
// system allows, it has no name until it is complete, so a process killed
// in the middle of a save leaves nothing behind.
struct TemporaryFile {
    int fd = -1;
    std::string name; // empty while it has none
};

// Nameless where the file system can make one (fd -1 otherwise).
TemporaryFile openNamelessBeside(const std::string& path) {
    TemporaryFile temporary;
    temporary.fd =
        ::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, S_IRUSR | S_IWUSR);
    return temporary;
}

// Temporaries are named "<file>.tavrik-" and six letters or digits, a name
// no user gives a file, so that a stale one can be told apart.
constexpr std::string_view kTemporaryInfix = ".tavrik-";
constexpr std::size_t kTemporaryLetters = 6;

TemporaryFile openNamedBeside(const std::string& path) {
    TemporaryFile temporary;
    temporary.name = path + std::string(kTemporaryInfix) + "XXXXXX";
    temporary.fd = ::mkostemp(temporary.name.data(), O_CLOEXEC);
    return temporary;
}

// A name beside the target that no file has yet, most likely.
std::string randomNameBeside(const std::string& path) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::uint8_t random[kTemporaryLetters] = {};
    if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random)) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        std::memcpy(random, &now, sizeof random);
    }
    std::string name = path + std::string(kTemporaryInfix);
    for (const std::uint8_t byte : random) {
        name += kLetters[byte % (sizeof kLetters - 1)];
    }
    return name;
}

// Gives a complete nameless file a name beside the target, for the rename.
bool nameTemporary(TemporaryFile& temporary, const std::string& path) {
    const std::string self = "/proc/self/fd/" + std::to_string(temporary.fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = randomNameBeside(path);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            temporary.name = std::move(name);
            return true;
        }
        if (errno != EEXIST) {
            return false;
        }
    }
    return false;
}

bool isTemporaryOf(const std::string& name, const std::string& target) {
    const std::size_t letters = target.size() + kTemporaryInfix.size();
    return name.size() == letters + kTemporaryLetters && name.starts_with(target) &&
           name.compare(target.size(), kTemporaryInfix.size(), kTemporaryInfix) == 0 &&
           std::all_of(name.begin() + static_cast<std::ptrdiff_t>(letters), name.end(),
                       [](unsigned char c) { return std::isalnum(c) != 0; });
}

// A save killed between naming its temporary and the rename leaves that
// temporary beside the file. The next save removes one older than any save
// takes; a younger one may be another process's save under way.
void removeStaleTemporaries(const std::string& path) {
    namespace fs = std::filesystem;
    const std::string target = fs::path(path).filename().string();
    const auto oldest = fs::file_time_type::clock::now() - std::chrono::minutes(10);
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folderOf(path), error)) {
        std::error_code ignored;
        if (isTemporaryOf(entry.path().filename().string(), target) &&
            entry.is_regular_file(ignored) && !entry.is_symlink(ignored) &&
            entry.last_write_time(ignored) < oldest) {
            fs::remove(entry.path(), ignored);
        }
    }
}

enum class SaveResult { Saved, Failed, Unnamed };

// Writes the parts into the temporary file, names it when it has no name yet
// and renames it over the target. Unnamed: the complete file could not be
// given a name (no /proc, say), and nothing changed.
SaveResult saveThrough(TemporaryFile temporary, const std::string& path,
                       std::initializer_list<std::span<const std::uint8_t>> parts, mode_t mode,
                       int& error) {
    errno = 0;
    bool ok = true;
    for (const auto& part : parts) {
        if (!writeAll(temporary.fd, part)) {
            ok = false;
            break;
        }
    }
    ok = ok && ::fchmod(temporary.fd, mode) == 0 && ::fsync(temporary.fd) == 0;
    if (!ok) {
        error = failureNumber();
    }
    const bool named = !ok || !temporary.name.empty() || nameTemporary(temporary, path);
    if (ok && !named) {
        error = failureNumber();
    }
    // A full disk may show only when the file is closed (on NFS, say).
    errno = 0;
    if (::close(temporary.fd) != 0 && ok && named) {
        error = failureNumber();
        ok = false;
    }
    ok = ok && named;
    if (ok) {
        errno = 0;
        if (::rename(temporary.name.c_str(), path.c_str()) == 0) {
            syncFolder(folderOf(path));
            error = 0;
            return SaveResult::Saved;
        }
        error = failureNumber();
    }
    if (!temporary.name.empty()) {
        ::unlink(temporary.name.c_str());
    }
    return named ? SaveResult::Failed : SaveResult::Unnamed;
}

bool saveAtomically(const std::string& path,
                    std::initializer_list<std::span<const std::uint8_t>> parts, int& error) {
    removeStaleTemporaries(path);
    const mode_t mode = permissionsFor(path);
    TemporaryFile nameless = openNamelessBeside(path);
    if (nameless.fd >= 0) {
        const SaveResult result = saveThrough(std::move(nameless), path, parts, mode, error);
        if (result != SaveResult::Unnamed) {
            return result == SaveResult::Saved;
        }
    }
    errno = 0;
    TemporaryFile named = openNamedBeside(path);
    if (named.fd < 0) {
        error = failureNumber();
        return false;
    }
    return saveThrough(std::move(named), path, parts, mode, error) == SaveResult::Saved;
}

} // namespace

bool writeFileAtomically(const std::string& path,
                         std::initializer_list<std::span<const std::uint8_t>> parts, int* error) {
    int failure = 0;
    const bool saved = saveAtomically(path, parts, failure);
    if (error != nullptr) {
        *error = saved ? 0 : failure;
    }
    return saved;
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

std::string describeSaveFailure(const std::string& path, int error) {
    char buffer[256] = {};
    // The GNU strerror_r, which may return a static text instead of filling
    // the buffer.
    const char* reason = ::strerror_r(error != 0 ? error : EIO, buffer, sizeof buffer);
    return path + " (" + reason + ")";
}

void setWriteFunctionForTesting(WriteFunction function) {
    writeFunction.store(function);
}

} // namespace tavrik::platform
