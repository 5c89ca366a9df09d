#pragma once
// The application icon that desktop menus, launchers and the autostart entry
// show, in the sizes of the hicolor icon theme.

#include <QImage>
#include <QString>
#include <QStringList>
#include <array>

namespace tavrik::skingen {

inline constexpr const char* kApplicationIconName = "org.tavrik.Tavrik";
inline constexpr std::array<int, 8> kApplicationIconSizes = {16, 22, 24, 32, 48, 64, 128, 256};

// A dark rounded tile with the keyboard sign and a lit G key; the smallest
// sizes leave out the tile's rim so that the sign stays readable.
QImage renderApplicationIcon(int size);

// Writes <folder>/hicolor/<n>x<n>/apps/org.tavrik.Tavrik.png for every size.
// Returns the files written, relative to the folder; empty after a failure,
// which `error` names.
QStringList writeApplicationIcons(const QString& folder, QString& error);

} // namespace tavrik::skingen
