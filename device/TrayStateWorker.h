#pragma once
// The tray-state worker: one short-lived thread per tray event of the
// keyboard. Workers take turns through a process-wide flag.

#include <cstdint>

namespace tavrik::device {

// 6161 shows the alternate tray icon, 6160 the last normal one. Returns false
// when the thread could not be created.
bool startTrayStateWorker(std::uint16_t code);

} // namespace tavrik::device
