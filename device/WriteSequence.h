#pragma once
// One write sequence of the command set: beginWrite, the data commands,
// endWrite. The first failure is kept: after a refused beginWrite nothing is
// sent, after a failed data command the rest of the data is dropped, and a
// sequence that began is always ended.

#include <functional>

namespace tavrik::device {

class WriteSequence {
public:
    // Sends beginWrite.
    WriteSequence();

    // Sends one data command (a command operation of Commands.h) unless an
    // earlier step failed.
    void send(const std::function<int()>& command);
    // Sends endWrite when the sequence began; the first failure's code, or
    // endWrite's, or Success.
    int end();

private:
    int code_;
    bool began_;
};

} // namespace tavrik::device
