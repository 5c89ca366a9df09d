#include "device/WriteSequence.h"

#include "device/Commands.h"

namespace tavrik::device {

WriteSequence::WriteSequence() : code_(beginWrite()), began_(code_ == result::Success) {}

void WriteSequence::send(const std::function<int()>& command) {
    if (code_ == result::Success) {
        code_ = command();
    }
}

int WriteSequence::end() {
    if (began_) {
        began_ = false;
        const int ended = endWrite();
        if (code_ == result::Success) {
            code_ = ended;
        }
    }
    return code_;
}

} // namespace tavrik::device
