#include "platform/IniDocumentCache.h"

#include "platform/AtomicFile.h"

#include <algorithm>
#include <mutex>
#include <sys/stat.h>
#include <tuple>
#include <vector>

namespace tavrik::platform {
namespace {

// The program reads a handful of INI files; beyond this many the oldest
// entry makes room.
constexpr std::size_t kKeptFiles = 16;

struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    friend bool operator==(const FileStamp& a, const FileStamp& b) {
        return std::tie(a.device, a.inode, a.size, a.modified.tv_sec, a.modified.tv_nsec,
                        a.changed.tv_sec, a.changed.tv_nsec) ==
               std::tie(b.device, b.inode, b.size, b.modified.tv_sec, b.modified.tv_nsec,
                        b.changed.tv_sec, b.changed.tv_nsec);
    }
};

struct KeptDocument {
    std::string path;
    FileStamp stamp;
    std::shared_ptr<const IniLookup> values;
};

struct Cache {
    std::mutex mutex;
    // Most recently read last.
    std::vector<KeptDocument> kept;
};

Cache& cache() {
    static Cache instance;
    return instance;
}

bool stampOf(const std::string& path, FileStamp& stamp) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    stamp = {info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
    return true;
}

const std::shared_ptr<const IniLookup>& noValues() {
    static const auto empty = std::make_shared<const IniLookup>();
    return empty;
}

bool settled(const FileStamp& stamp, std::chrono::system_clock::time_point now) {
    const auto changed = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(stamp.changed.tv_sec) +
            std::chrono::nanoseconds(stamp.changed.tv_nsec)));
    return now - changed >= kSettledAge;
}

} // namespace

std::shared_ptr<const IniLookup> readIniLookup(const std::string& path,
                                               std::chrono::system_clock::time_point now) {
    FileStamp stamp;
    if (!stampOf(path, stamp)) {
        forgetIniFile(path);
        return noValues();
    }
    Cache& kept = cache();
    {
        std::lock_guard lock(kept.mutex);
        const auto found = std::find_if(kept.kept.begin(), kept.kept.end(),
                                        [&](const KeptDocument& k) { return k.path == path; });
        if (found != kept.kept.end() && found->stamp == stamp) {
            std::rotate(found, found + 1, kept.kept.end());
            return kept.kept.back().values;
        }
    }
    // Read after the stamp was taken: a file that changes in between is kept
    // with the older stamp, so the next read finds it changed and reads again.
    std::string bytes;
    if (!readWholeFile(path, bytes)) {
        forgetIniFile(path);
        return noValues();
    }
    auto values = std::make_shared<const IniLookup>(IniDocument::parse(bytes));
    std::lock_guard lock(kept.mutex);
    std::erase_if(kept.kept, [&](const KeptDocument& k) { return k.path == path; });
    if (!settled(stamp, now)) {
        return values;
    }
    if (kept.kept.size() >= kKeptFiles) {
        kept.kept.erase(kept.kept.begin());
    }
    kept.kept.push_back({path, stamp, values});
    return values;
}

void forgetIniFile(const std::string& path) {
    Cache& kept = cache();
    std::lock_guard lock(kept.mutex);
    std::erase_if(kept.kept, [&](const KeptDocument& k) { return k.path == path; });
}

} // namespace tavrik::platform
