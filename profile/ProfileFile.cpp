#include "profile/ProfileFile.h"

#include "keyboard/ProfileFileHeader.h"
#include "keyboard/StringPool.h"
#include "platform/AtomicFile.h"
#include "platform/ByteOrder.h"
#include "platform/Ports.h"
#include "platform/Unicode.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::profile {

using keyboard::fillProfileFileHeader;
using keyboard::kAssignmentTableBytes;
using keyboard::kKeyRecordCount;
using keyboard::kMacroRecordBytes;
using keyboard::kMaximumMacroCount;
using keyboard::kProfileFileHeaderSize;
using keyboard::kProfileFileMagic;
using keyboard::kProfileHeaderConstantAt4;
using keyboard::kProfileHeaderConstantAt6;
using keyboard::ProfileFileHeader;
using keyboard::profileFileTotalSize;
using keyboard::profileHeaderChecksum;
using keyboard::readProfileFileHeader;

namespace {

constexpr std::uint64_t kTooLargeFileSize = std::uint64_t{1} << 32; // 4 GiB
constexpr std::uint8_t kLargestFlag = 1;

// Closes a descriptor when the read is over.
class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~FileDescriptor() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return descriptor_; }

private:
    int descriptor_;
};

bool readFully(int descriptor, std::uint8_t* out, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(descriptor, out + done, size - done);
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

// The end of the pool that a header declares, measured from the start of the
// file; never less than the assignment table.
std::uint64_t declaredExtent(std::span<const std::uint8_t, kProfileFileHeaderSize> header) {
    const ProfileFileHeader fields = readProfileFileHeader(header);
    return std::max<std::uint64_t>(kAssignmentTableBytes,
                                   profileFileTotalSize(fields.macroCount, fields.stringPoolSize));
}

std::span<const std::uint8_t, kProfileFileHeaderSize>
headerOf(std::span<const std::uint8_t> image) {
    return image.first<kProfileFileHeaderSize>();
}

void loadMacros(std::span<const std::uint8_t> image, std::size_t declaredCount,
                macro::MacroList& macros) {
    const std::size_t whole = (image.size() - kAssignmentTableBytes) / kMacroRecordBytes;
    const std::size_t count = std::min({declaredCount, whole, macro::kMaxMacros});
    macros.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        macro::MacroRecord::Bytes bytes;
        const auto start = image.begin() + static_cast<std::ptrdiff_t>(kAssignmentTableBytes +
                                                                       i * kMacroRecordBytes);
        std::copy_n(start, kMacroRecordBytes, bytes.begin());
        macro::MacroRecord record(bytes);
        record.setNewFlag(0);
        macros.push_back(record);
    }
}

std::span<const std::uint8_t> poolOf(std::span<const std::uint8_t> image,
                                     const ProfileFileHeader& header) {
    const std::uint64_t start = profileFileTotalSize(header.macroCount, 0);
    if (start >= image.size()) {
        return {};
    }
    const std::uint64_t available = image.size() - start;
    return image.subspan(
        static_cast<std::size_t>(start),
        static_cast<std::size_t>(std::min<std::uint64_t>(available, header.stringPoolSize)));
}

void appendMacros(const macro::MacroList& macros, std::vector<std::uint8_t>& image) {
    for (const macro::MacroRecord& record : macros) {
        image.insert(image.end(), record.bytes().begin(), record.bytes().end());
    }
}

} // namespace

void installDefaultProfile(ProfileData& data, std::uint8_t flag) {
    releaseProfileData(data);
    data.table = keyboard::defaultTable();
    fillProfileFileHeader(data.table.header().first<kProfileFileHeaderSize>(), 0, 0, flag);
}

int readProfileImage(const std::string& path, std::vector<std::uint8_t>& image) {
    image.clear();
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return validation::Rejected;
    }
    // Only a regular file can be a profile file. Opening anything else may
    // block (a FIFO waits for a writer) or act on a device, and the path can
    // change between the look and the open, so the open does not block and
    // its result is looked at again.
    if (!S_ISREG(status.st_mode)) {
        return validation::CannotOpen;
    }
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return validation::CannotOpen;
    }
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    if (fileSize < kAssignmentTableBytes || fileSize >= kTooLargeFileSize) {
        return validation::Rejected;
    }
    std::array<std::uint8_t, kProfileFileHeaderSize> header{};
    if (!readFully(file.get(), header.data(), header.size())) {
        return validation::CannotOpen;
    }
    const std::uint64_t size = std::min(fileSize, declaredExtent(header));
    try {
        image.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return validation::OutOfMemory;
    }
    std::copy(header.begin(), header.end(), image.begin());
    if (!readFully(file.get(), image.data() + header.size(), image.size() - header.size())) {
        image.clear();
        return validation::CannotOpen;
    }
    return validation::Acceptable;
}

bool isProfileHeaderAcceptable(std::span<const std::uint8_t> image) {
    if (image.size() < kProfileFileHeaderSize) {
        return false;
    }
    const ProfileFileHeader header = readProfileFileHeader(headerOf(image));
    return header.magic == kProfileFileMagic && header.headerSize == kProfileFileHeaderSize &&
           header.constantAt4 == kProfileHeaderConstantAt4 &&
           header.constantAt6 == kProfileHeaderConstantAt6 &&
           header.totalSize >= kAssignmentTableBytes && header.keyRecordCount == kKeyRecordCount &&
           header.macroCount <= kMaximumMacroCount && header.flag <= kLargestFlag &&
           header.totalSize == profileFileTotalSize(header.macroCount, header.stringPoolSize) &&
           header.checksum == profileHeaderChecksum(headerOf(image));
}

int validateProfileFile(const std::string& path) {
    std::vector<std::uint8_t> image;
    return readValidatedProfileImage(path, image);
}

int readValidatedProfileImage(const std::string& path, std::vector<std::uint8_t>& image) {
    const int read = readProfileImage(path, image);
    if (read != validation::Acceptable) {
        return read;
    }
    if (!isProfileHeaderAcceptable(image)) {
        image.clear();
        platform::prompter().showMessage(text::formatWithText(
            text::languageText("PROFILE_FORMAT_ERROR"), platform::toUtf16(path)));
        return validation::Rejected;
    }
    return validation::Acceptable;
}

bool loadProfileImage(std::span<const std::uint8_t> image, ProfileData& set) {
    if (image.size() < kAssignmentTableBytes) {
        installDefaultProfile(set, 0);
        return false;
    }
    try {
        releaseProfileData(set);
        std::copy_n(image.begin(), kAssignmentTableBytes, set.table.bytes().begin());
        const ProfileFileHeader header = readProfileFileHeader(headerOf(image));
        loadMacros(image, header.macroCount, set.macros);
        keyboard::loadStringsFromPool(set.table, poolOf(image, header), set.strings);
    } catch (const std::bad_alloc&) {
        installDefaultProfile(set, 0);
        return false;
    }
    return true;
}

std::vector<std::uint8_t> profileImageOf(ProfileData& set) {
    const std::uint32_t poolSize = set.strings.total();
    const auto macroCount = static_cast<std::uint16_t>(set.macros.size());
    fillProfileFileHeader(set.table.header().first<kProfileFileHeaderSize>(), macroCount, poolSize,
                          0);
    std::vector<std::uint8_t> pool(poolSize, 0);
    keyboard::packStringPool(set.table, set.strings, pool);

    std::vector<std::uint8_t> image;
    image.reserve(static_cast<std::size_t>(profileFileTotalSize(macroCount, poolSize)));
    image.insert(image.end(), set.table.bytes().begin(), set.table.bytes().end());
    appendMacros(set.macros, image);
    image.insert(image.end(), pool.begin(), pool.end());
    return image;
}

bool writeDefaultProfileFile(const std::string& path, std::uint8_t flag) {
    keyboard::AssignmentTable table = keyboard::defaultTable();
    fillProfileFileHeader(table.header().first<kProfileFileHeaderSize>(), 0, 0, flag);
    return !path.empty() && platform::writeFileAtomically(path, {table.bytes()});
}

} // namespace tavrik::profile
