#include "platform/ProcessWalk.h"

#include "platform/Unicode.h"

#include <algorithm>
#include <charconv>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

// The kernel keeps 15 characters of a command name.
constexpr std::size_t kCommandNameLength = 15;

std::optional<pid_t> processIdOf(const char* entryName) {
    pid_t pid = 0;
    const char* end = entryName + std::char_traits<char>::length(entryName);
    const auto [last, error] = std::from_chars(entryName, end, pid);
    if (error != std::errc() || last != end || pid <= 0) {
        return std::nullopt;
    }
    return pid;
}

bool readFirstLine(const std::string& path, std::string& line) {
    std::ifstream file(path);
    return static_cast<bool>(std::getline(file, line));
}

bool ownedByCurrentUser(const std::string& processFolder) {
    struct stat status {};
    return ::stat(processFolder.c_str(), &status) == 0 && status.st_uid == ::getuid();
}

bool hasImageName(const std::string& processFolder, std::string_view imageName);

// The status of a living process of the current user with the image name.
std::optional<ProcessStatus> instanceStatus(const std::string& processFolder,
                                            std::string_view imageName) {
    std::string statLine;
    if (!ownedByCurrentUser(processFolder) || !readFirstLine(processFolder + "/stat", statLine)) {
        return std::nullopt;
    }
    const std::optional<ProcessStatus> status = parseProcessStat(statLine);
    if (!status || status->state == 'Z' || status->state == 'X' ||
        !hasImageName(processFolder, imageName)) {
        return std::nullopt;
    }
    return status;
}

bool hasImageName(const std::string& processFolder, std::string_view imageName) {
    char target[PATH_MAX];
    const std::string exeLink = processFolder + "/exe";
    const ssize_t length = ::readlink(exeLink.c_str(), target, sizeof target);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof target) {
        return equalsIgnoringCase(
            executableBaseName(std::string_view(target, static_cast<std::size_t>(length))),
            imageName);
    }
    std::string command;
    if (!readFirstLine(processFolder + "/comm", command)) {
        return false;
    }
    return equalsIgnoringCase(command, imageName.substr(0, kCommandNameLength));
}

} // namespace

std::string_view executableBaseName(std::string_view linkTarget) {
    constexpr std::string_view deletedMark = " (deleted)";
    if (linkTarget.ends_with(deletedMark)) {
        linkTarget.remove_suffix(deletedMark.size());
    }
    const std::size_t slash = linkTarget.rfind('/');
    return slash == std::string_view::npos ? linkTarget : linkTarget.substr(slash + 1);
}

std::optional<ProcessStatus> parseProcessStat(std::string_view statLine) {
    const std::size_t nameEnd = statLine.rfind(')');
    if (nameEnd == std::string_view::npos) {
        return std::nullopt;
    }
    // Fields after the name, separated by single blanks: field 3 (state) is
    // the first of them, field 22 (start time) the twentieth.
    std::string_view rest = statLine.substr(nameEnd + 1);
    ProcessStatus status;
    for (int field = 3; field <= 22; ++field) {
        const std::size_t begin = rest.find_first_not_of(' ');
        if (begin == std::string_view::npos) {
            return std::nullopt;
        }
        rest.remove_prefix(begin);
        const std::size_t end = std::min(rest.find(' '), rest.size());
        const std::string_view value = rest.substr(0, end);
        if (field == 3) {
            status.state = value.size() == 1 ? value[0] : '?';
        } else if (field == 22) {
            const auto [last, error] =
                std::from_chars(value.data(), value.data() + value.size(), status.startTime);
            if (error != std::errc() || last != value.data() + value.size()) {
                return std::nullopt;
            }
        }
        rest.remove_prefix(end);
    }
    return status;
}

pid_t findInstanceProcess(std::string_view imageName) {
    return findInstanceProcess(imageName, "/proc");
}

bool isInstanceProcess(pid_t process, std::string_view imageName, const std::string& procRoot) {
    return process > 0 && !imageName.empty() &&
           instanceStatus(procRoot + "/" + std::to_string(process), imageName).has_value();
}

pid_t findInstanceProcess(std::string_view imageName, const std::string& procRoot) {
    if (imageName.empty()) {
        return 0;
    }
    DIR* folder = ::opendir(procRoot.c_str());
    if (folder == nullptr) {
        return 0;
    }
    pid_t oldest = 0;
    std::uint64_t oldestStart = 0;
    while (const dirent* entry = ::readdir(folder)) {
        const std::optional<pid_t> pid = processIdOf(entry->d_name);
        if (!pid) {
            continue;
        }
        // A process that ended during the walk simply drops out here.
        const std::optional<ProcessStatus> status =
            instanceStatus(procRoot + "/" + entry->d_name, imageName);
        if (!status) {
            continue;
        }
        if (oldest == 0 || status->startTime < oldestStart ||
            (status->startTime == oldestStart && *pid < oldest)) {
            oldest = *pid;
            oldestStart = status->startTime;
        }
    }
    ::closedir(folder);
    return oldest;
}

} // namespace tavrik::platform
