#pragma once
// The application's process-wide start flags. Start hidden: set by the
// "/Start" switch, when no keyboard is present at start, and after the main
// window was opened once by a keyboard's arrival; while it is clear, the first
// detection of a keyboard opens the main window. Read and written from the
// user-interface thread and the device-change workers.

#include <atomic>

namespace tavrik::device {

struct StartFlags {
    std::atomic<bool> startHidden{false};
};

StartFlags& startFlags();
void resetStartFlags();

} // namespace tavrik::device
