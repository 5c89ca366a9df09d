#pragma once
// Saving a file so that a crash, a full disk or a failed write never leaves a
// half-written file behind: the bytes go to a temporary file beside the
// target, which is flushed, synced and renamed over the target. A save also
// removes the temporaries that killed saves of the same file left behind.

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <sys/types.h>

namespace tavrik::platform {

// Writes the parts one after the other as the new content of `path`.
// Returns false, with the previous file untouched, when any step fails;
// `error` then receives the errno of the step that failed (0 after a save).
bool writeFileAtomically(const std::string& path,
                         std::initializer_list<std::span<const std::uint8_t>> parts,
                         int* error = nullptr);

// "path (reason)": how a message names a save that failed with `error`.
std::string describeSaveFailure(const std::string& path, int error);

// Reads a whole file. Returns false when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::string& contents);

// The write(2) used for the temporary file. Tests replace it to simulate a
// disk that fills up in the middle of a save; nullptr restores the real one.
using WriteFunction = ssize_t (*)(int fd, const void* data, size_t size);
void setWriteFunctionForTesting(WriteFunction function);

} // namespace tavrik::platform
