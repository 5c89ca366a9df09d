#pragma once
// The fonts the skin asks for by name ("Tahoma", "Verdana") are Windows
// fonts that most Linux systems lack; the skin then gets DejaVu Sans, which
// the program's setup installs, at the same size. The choice is made when
// text is first drawn, not when the font is made.

#include <QFont>
#include <QString>

namespace tavrik::ui {
class CPngButton;
}

namespace tavrik::app {

inline constexpr const char* kFallbackFontFamily = "DejaVu Sans";

QFont skinFont(const QString& family, int pointSize);

// A caption on one of the skin's blank text buttons: white, in the skin's
// font, grey while the button is disabled.
void setSkinCaption(ui::CPngButton& button, const QString& caption);

} // namespace tavrik::app
