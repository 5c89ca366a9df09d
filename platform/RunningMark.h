#pragma once
// Whether the program runs for this user, in any session: each running
// program holds a shared lock (flock) on "$XDG_STATE_HOME/tavrik/running"
// (~/.local/state/...), a folder that a shell without the session's runtime
// folder (cron, su, ssh) finds too. The system drops the lock when the
// program ends, however it ends. tavrikctl asks it before it writes to the
// keyboard behind the program's back.

#include <string>

namespace tavrik::platform {

class RunningMark {
public:
    RunningMark() = default;
    ~RunningMark();
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

    // Marks this process as a running program until the mark goes; false
    // when the file cannot be made (the program runs unmarked).
    bool hold();

    // Whether some process of the user holds the mark now.
    static bool isHeld();

private:
    int descriptor_ = -1;
};

// "$XDG_STATE_HOME/tavrik/running"; empty without a home.
std::string runningMarkPath();

} // namespace tavrik::platform
