#pragma once
// The lighting editor's on/off switch (the zone painting state), kept across
// starts as "DengCheck" in section "KEYCOLOR" of the per-user settings file
// zovu.ini: "1" on, "0" off. The value reads as a decimal integer and only 1
// counts as on; a missing file, section or key is off.

#include <string>

namespace tavrik::lighting {

bool readZonePainting(const std::string& settingsFile);
// Creates the file's folder when it is missing; false when the file could
// not be written.
bool writeZonePainting(const std::string& settingsFile, bool on);

} // namespace tavrik::lighting
