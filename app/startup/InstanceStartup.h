#pragma once
// The instance logic of the running program, for the start routine, before
// anything needs a display: decides the instance question with the
// program's own file name, the instance socket and the named mutex, sets the start-hidden flag,
// and launches the daemon when this process is the first instance.
//
//     InstanceDecision decision = runInstanceLogic(QCoreApplication::arguments());
//     if (decision.outcome == InstanceOutcome::EndProcess) -> end with exit code 0
//     else keep decision.mutex until the teardown closes it

#include "app/startup/InstanceDecision.h"

#include <QStringList>

namespace tavrik::app {

// `arguments` as QCoreApplication::arguments() gives them, the program name
// first. Needs the path set (installPathSet).
InstanceDecision runInstanceLogic(const QStringList& arguments);

} // namespace tavrik::app
