#include "profile/ProfileFile.h"

#include "keyboard/ProfileFileHeader.h"
#include "keyboard/StringPool.h"
#include "platform/AtomicFile.h"
#include "platform/ByteOrder.h"
#include "platform/Ports.h"
#include "platform/RegularFile.h"
#include "platform/Unicode.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"

#include <algorithm>
#include <array>
#include <new>

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
    platform::RegularFile file;
    switch (file.open(path)) {
    case platform::RegularFile::Open::Opened:
        break;
    case platform::RegularFile::Open::Missing:
        return validation::Rejected;
    case platform::RegularFile::Open::NotRegular:
    case platform::RegularFile::Open::CannotOpen:
        return validation::CannotOpen;
    }
    const std::uint64_t fileSize = file.size();
    if (fileSize < kAssignmentTableBytes || fileSize >= kTooLargeFileSize) {
        return validation::Rejected;
    }
    std::array<std::uint8_t, kProfileFileHeaderSize> header{};
    if (!file.readFully(header)) {
        return validation::CannotOpen;
    }
    const std::uint64_t size = std::min(fileSize, declaredExtent(header));
    try {
        image.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return validation::OutOfMemory;
    }
    std::copy(header.begin(), header.end(), image.begin());
    if (!file.readFully(std::span(image).subspan(header.size()))) {
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
