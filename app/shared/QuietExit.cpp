#include "app/shared/QuietExit.h"

#include <cstdio>
#include <unistd.h>

namespace tavrik::app {

void endProcessQuietly() {
    std::fflush(nullptr);
    ::_exit(0);
}

} // namespace tavrik::app
