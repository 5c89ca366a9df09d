#pragma once
// Long keyboard work (Apply, the reload after a profile switch, import,
// backup, restore) runs on a worker thread of its own, one at a time, so
// that the window keeps painting and answering meanwhile. The window starts
// it, serves its events until the work tells it has ended, and refuses or
// queues meanwhile what would run beside it: isKeyboardWorkRunning() is
// what the panels and the session bus ask.

#include <functional>

namespace tavrik::sync {

// Starts `work` on a worker thread (WorkerThreads.h, so that the teardown
// waits for it); `ended` is called on that thread once the work is done,
// after the work counts as ended. False, with nothing run, while other work
// runs or when no thread could be had.
bool startKeyboardWork(std::function<void()> work, std::function<void()> ended);

// From the start of the work to the moment `ended` is called.
bool isKeyboardWorkRunning();

} // namespace tavrik::sync
