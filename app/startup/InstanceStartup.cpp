#include "app/startup/InstanceStartup.h"

#include "device/StartFlags.h"
#include "platform/InstanceMessenger.h"
#include "platform/PathSet.h"
#include "platform/SessionInstance.h"
#include "platform/ShellOpen.h"

#include <string>
#include <vector>

namespace tavrik::app {

InstanceDecision runInstanceLogic(const QStringList& arguments) {
    std::vector<std::string> switches;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        switches.push_back(arguments[i].toStdString());
    }
    const platform::PathSet& paths = platform::pathSet();
    InstanceDecision decision = decideInstance(
        switches,
        [&paths] {
            return platform::findSessionInstance(paths.ownFileName,
                                                 platform::instanceSocketPath().toStdString());
        },
        [](pid_t process, int mode) {
            return platform::notifyInstanceWindows(process, platform::instanceWindowCallback, mode);
        });
    if (decision.outcome == InstanceOutcome::EndProcess) {
        return decision;
    }
    device::startFlags().startHidden.store(decision.startHidden);
    // A missing daemon changes nothing.
    platform::launchDaemon(paths.daemonPath);
    return decision;
}

} // namespace tavrik::app
