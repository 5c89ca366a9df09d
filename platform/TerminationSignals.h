#pragma once
// The signals that end a desktop program from outside (SIGTERM at a logout
// or from `systemctl --user stop` and `kill`, SIGHUP when its terminal or
// session goes, SIGINT from Ctrl+C), turned into a descriptor that becomes
// readable when one arrives, so that the program ends in order from its own
// event loop rather than inside a signal handler. The handler only writes a
// byte to a pipe. Once one has arrived, the next such signal ends the
// process at once, for a teardown that hangs.

namespace tavrik::platform {

class TerminationSignals {
public:
    // Installs the handlers; valid() is false when the pipe cannot be made
    // (the signals then keep their default action). One at a time.
    TerminationSignals();
    // Puts the previous actions back.
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    bool valid() const { return readEnd_ >= 0; }
    // Readable once a signal has arrived.
    int descriptor() const { return readEnd_; }
    // Called when the descriptor is readable: the number of the signal
    // that arrived, 0 when none is waiting.
    int takeSignal();

private:
    int readEnd_ = -1;
    int writeEnd_ = -1;
};

} // namespace tavrik::platform
