#pragma once
// The end of the device link at exit. The service delivers events on threads
// of its own, and its callbacks start workers; both reach into the program's
// process-wide records. So the service is ended first, which waits for its
// threads (no callback after it), then every worker is joined (none can be
// started after that). Only then may the program's state go away.

namespace tavrik::device {

// Ends the bound service, if any, and joins every worker thread. The main
// window must be gone first: a callback that waits for it would wait for ever.
void shutDownDeviceLink();

} // namespace tavrik::device
