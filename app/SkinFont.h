#pragma once
// The fonts the skin asks for by name ("Tahoma", "Verdana") are Windows
// fonts that most Linux systems lack; the skin then gets DejaVu Sans, which
// the program's setup installs, at the same size.

#include <QFont>
#include <QString>

namespace tavrik::app {

inline constexpr const char* kFallbackFontFamily = "DejaVu Sans";

QFont skinFont(const QString& family, int pointSize);

} // namespace tavrik::app
