#pragma once
// The record-pauses option of the macro editor: whether recording keeps the
// measured pauses (1) or gives every action a fixed pause (0). It is kept in
// the settings store, section "PROFILES", under the name that the language
// text MACRO_ACTION_RECORD_DELAY holds ("RecordDelay"), as "0" or "1".

namespace tavrik::app {

// The stored value read as a decimal number; a missing value reads as "0".
int loadRecordPauses();

// Stores the value, any value but 0 and 1 as 0, and returns what it stored.
int saveRecordPauses(int value);

} // namespace tavrik::app
