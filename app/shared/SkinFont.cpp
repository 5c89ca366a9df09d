#include "app/shared/SkinFont.h"

#include "ui/CPngButton.h"

namespace tavrik::app {

QFont skinFont(const QString& family, int pointSize) {
    // Both names go with the font and the first present one is taken when
    // text is first drawn: asking the font database now would load every
    // font of the system before the window is even shown.
    QFont font;
    font.setFamilies({family, QString::fromLatin1(kFallbackFontFamily)});
    font.setPointSize(pointSize);
    return font;
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
