#pragma once
// What a fuzz target asserts: a broken promise ends the run, and libFuzzer
// keeps the input.

#include <cstdlib>

namespace tavrik::fuzz {

inline void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

} // namespace tavrik::fuzz
