#pragma once
// Processes of the program: the oldest process of the current user whose
// executable has a given base name, found by walking /proc (any session of
// the user), and whether one given process is such a process.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tavrik::platform {

// The oldest living process of the current user whose executable's base name
// equals `imageName` without regard to letter case (ASCII). The name is the
// base name of /proc/<pid>/exe; where that link cannot be read, the process's
// command name, which the system cuts to 15 characters. Oldest means the
// earliest start time, the lower process id between equal ones. When no other
// instance runs this is the calling process itself. Returns 0 when /proc
// cannot be walked or no process matches.
//
// Processes of other users are left out: their windows cannot be reached, so
// finding one of them would only hide this user's own instance.
pid_t findInstanceProcess(std::string_view imageName);
// The same over another proc root (its layout as /proc).
pid_t findInstanceProcess(std::string_view imageName, const std::string& procRoot);

// Whether `process` lives, belongs to the current user and runs an
// executable of that base name (as findInstanceProcess compares it).
bool isInstanceProcess(pid_t process, std::string_view imageName,
                       const std::string& procRoot = "/proc");

struct ProcessStatus {
    char state = '?';
    std::uint64_t startTime = 0; // clock ticks after boot
};

// Reads the state (field 3) and the start time (field 22) of a
// /proc/<pid>/stat line. The command name in field 2 may hold blanks and
// parentheses, so fields are counted after the last ')'.
std::optional<ProcessStatus> parseProcessStat(std::string_view statLine);

// The base name in a /proc/<pid>/exe link, without the " (deleted)" mark of
// a replaced executable.
std::string_view executableBaseName(std::string_view linkTarget);

} // namespace tavrik::platform
