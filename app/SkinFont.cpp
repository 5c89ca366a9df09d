#include "app/SkinFont.h"

#include "ui/CPngButton.h"

#include <QFontDatabase>

namespace tavrik::app {

QFont skinFont(const QString& family, int pointSize) {
    const bool present = QFontDatabase::hasFamily(family);
    return QFont(present ? family : QString::fromLatin1(kFallbackFontFamily), pointSize);
}

void setSkinCaption(ui::CPngButton& button, const QString& caption) {
    button.setText(caption);
    button.setFont(skinFont(QStringLiteral("Tahoma"), 9));
    QPalette palette = button.palette();
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x8a, 0x93, 0x9e));
    button.setPalette(palette);
}

} // namespace tavrik::app
