#pragma once
// The instance question, decided at start before anything needs a display:
// the command line ("/Kill", "/Start", compared without regard to case, left
// to right), then the named mutex. A process that hands over to the running
// instance, or was started with "/Kill", ends with exit code 0 before it
// shows anything.

#include "platform/InstanceLock.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace tavrik::app {

enum class InstanceOutcome {
    EndProcess,   // end now with exit code 0
    FirstInstance // go on: launch the daemon, run the main window
};

struct InstanceDecision {
    InstanceOutcome outcome = InstanceOutcome::FirstInstance;
    // "/Start" was given: the first keyboard detection does not open the
    // main window.
    bool startHidden = false;
    // The named mutex, kept by the first instance until its teardown.
    platform::InstanceLock mutex;
};

// The running instance of this session (platform/SessionInstance.h).
using InstanceFinder = std::function<pid_t()>;
// notifyInstanceWindows with instanceWindowCallback: sends the running
// instance's main window Open (mode 0) or Kill (mode 1).
using InstanceNotifier = std::function<bool(pid_t process, int mode)>;

// `arguments` are the command-line arguments after the program name.
InstanceDecision decideInstance(std::span<const std::string> arguments, const InstanceFinder& find,
                                const InstanceNotifier& notify,
                                std::string_view mutexName = platform::kInstanceMutexName);

} // namespace tavrik::app
