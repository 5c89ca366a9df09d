#pragma once
// Texts of the model as Qt strings, for the widgets that show them.

#include "text/LanguageTexts.h"

#include <QString>
#include <string>
#include <string_view>

namespace tavrik::ui {

inline QString qText(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The current text of a language slot.
inline QString languageQString(std::string_view key) {
    return qText(text::languageText(key));
}

} // namespace tavrik::ui
