#pragma once
// The composite editor, the profile manager and the application profiles
// dialog of the default skin: their
// sizes and the rectangle of every control in Composite.ini, Profile.ini and AppProfiles.ini.

#include "tools/skingen/SkinTypes.h"

#include <QSize>

namespace tavrik::skingen {

// The sections of the composite editor; each image set shows one of them in
// the section area (CONTROL_MASK).
enum class CompositePage { Key, Macro, Media, Function };

QSize compositeWindowSize();
ControlList compositeControls();
// The controls that belong to one section; the rest are shown with every section.
bool belongsToPage(const QString& key, CompositePage page);
bool belongsToAnyPage(const QString& key);

QSize profileWindowSize();
ControlList profileControls();

QSize appProfilesWindowSize();
ControlList appProfilesControls();

} // namespace tavrik::skingen
