#include "device/StartFlags.h"

namespace tavrik::device {
namespace {

StartFlags flags;

} // namespace

StartFlags& startFlags() {
    return flags;
}

void resetStartFlags() {
    flags.startHidden.store(false);
}

} // namespace tavrik::device
