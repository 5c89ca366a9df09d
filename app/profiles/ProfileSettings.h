#pragma once
// Section "PROFILES" of the program's per-user settings store (QSettings of
// the organisation "Tavrik_Lumora"): the Flip setting and the profile
// manager's list. Every call reads or writes the store as it is now, so two
// windows of the program never work from stale copies.

#include <QString>

namespace tavrik::app {

// The value of `key`, or `fallback` when the store has none.
QString profileSetting(const QString& key, const QString& fallback);
void setProfileSetting(const QString& key, const QString& value);
void removeProfileSetting(const QString& key);
bool hasProfileSetting(const QString& key);

// The Flip setting: value "Flip", a decimal string, "0" when missing; read as
// an integer, 0 is off and anything else on.
bool flipSetting();
void setFlipSetting(bool on);

} // namespace tavrik::app
