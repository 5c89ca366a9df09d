#include "app/SkinFont.h"

#include <QFontDatabase>

namespace tavrik::app {

QFont skinFont(const QString& family, int pointSize) {
    const bool present = QFontDatabase::hasFamily(family);
    return QFont(present ? family : QString::fromLatin1(kFallbackFontFamily), pointSize);
}

} // namespace tavrik::app
