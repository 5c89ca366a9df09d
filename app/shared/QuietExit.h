#pragma once
// Ending the process at once with exit code 0 and no message, as the program
// does when a window cannot be drawn (a skin image is missing).

namespace tavrik::app {

// Flushes the standard streams and ends the process without running any
// destructor: the windows on the stack are left as they are.
[[noreturn]] void endProcessQuietly();

} // namespace tavrik::app
