#include "app/startup/InstanceDecision.h"

#include "platform/InstanceMessages.h"
#include "platform/ProcessWalk.h"
#include "platform/Unicode.h"

namespace tavrik::app {
namespace {

InstanceDecision endProcess() {
    InstanceDecision decision;
    decision.outcome = InstanceOutcome::EndProcess;
    return decision;
}

} // namespace

InstanceDecision decideInstance(std::span<const std::string> arguments, const InstanceFinder& find,
                                const InstanceNotifier& notify, std::string_view mutexName) {
    InstanceDecision decision;
    for (const std::string& argument : arguments) {
        if (platform::equalsIgnoringCase(argument, "/Kill")) {
            // With no process found (the walk failed) the kill cannot be
            // delivered, and the remaining arguments still count.
            if (const pid_t running = find(); running != 0) {
                notify(running, platform::kNotifyKill);
                return endProcess();
            }
        } else if (platform::equalsIgnoringCase(argument, "/Start")) {
            decision.startHidden = true;
        }
    }

    if (decision.mutex.openExisting(mutexName)) {
        if (const pid_t running = find(); running != 0) {
            notify(running, platform::kNotifyOpen);
            return endProcess();
        }
        // The mutex exists but no process can be found: keep the handle
        // and go on as the first instance.
        return decision;
    }
    // A failed creation goes unnoticed: the program runs without the mutex.
    decision.mutex.createOwned(mutexName);
    return decision;
}

} // namespace tavrik::app
