#pragma once
// The short-lived worker threads of the device link (device-change and
// tray-state workers, and any other the program starts on demand). They are
// tracked so that a test, or the program's teardown, can wait for all of
// them before the process-wide state they touch goes away.

#include <functional>

namespace tavrik::device {

// Runs `body` on a new thread. Returns false when the thread could not be
// created; the body is then not run.
bool startWorkerThread(std::function<void()> body);

// Waits until every worker started so far, and every worker those start in
// turn, has ended.
void joinAllWorkers();

} // namespace tavrik::device
