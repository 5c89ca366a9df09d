#pragma once
// The running instance of this session: the process that serves the
// instance socket in this session's runtime folder, the same folder that
// holds the instance lock. Its peer credentials name it; the process walk
// only confirms that it is the program. So a second start and "/Kill" reach
// the instance whose lock they found, never the instance of another session
// of the same user (a second login, a remote desktop), which is an instance
// of its own.

#include <string>
#include <string_view>
#include <sys/types.h>

namespace tavrik::platform {

// The process serving `socketPath`, when it is a process of the current user
// running an executable named `imageName`. When no such process serves it,
// the calling process itself, as a walk of all processes finds it when no
// other instance runs; 0 when /proc cannot tell even that.
pid_t findSessionInstance(std::string_view imageName, const std::string& socketPath);

} // namespace tavrik::platform
