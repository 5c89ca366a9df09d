#include "ui/SkinPlacement.h"

#include "ui/CIniFile.h"

#include <QWidget>
#include <algorithm>

namespace tavrik::ui {
namespace {

constexpr std::u16string_view kOffsetSection = u"BUTTONINFO2";
constexpr int kArrowFrame = 1;

QRect geometryOf(const platform::LayoutRectangle& rectangle) {
    return QRect(rectangle.x, rectangle.y, std::max(0, rectangle.width),
                 std::max(0, rectangle.height));
}

bool isDefaultPlace(const platform::LayoutRectangle& rectangle) {
    return rectangle.x == 1 && rectangle.y == 1;
}

} // namespace

void placeImageButton(CPngButton& button, const CIniFile& file, std::u16string_view key,
                      const ButtonImages& images) {
    const platform::LayoutRectangle rectangle = file.readRect(key);
    button.setGeometry(geometryOf(rectangle));
    // The client area sits one pixel inside the state images.
    button.setImages(images, QPoint(rectangle.x - 1, rectangle.y - 1));
    if (isDefaultPlace(rectangle)) {
        button.setEnabled(false);
    }
}

bool isSkinPlaced(const QWidget& control) {
    return control.pos() != QPoint(1, 1);
}

void placeControl(QWidget& control, const CIniFile& file, std::u16string_view key) {
    control.setGeometry(geometryOf(file.readRect(key)));
}

void moveControl(QWidget& control, const CIniFile& file, std::u16string_view key) {
    const platform::LayoutRectangle rectangle = file.readRect(key);
    control.move(rectangle.x, rectangle.y);
    control.update();
}

void placeImageButtonFrom(CPngButton& button, const CIniFile& file, std::u16string_view key,
                          std::u16string_view offsetSection, std::u16string_view offsetKey,
                          const SkinImage& image) {
    button.setGeometry(geometryOf(file.readRect(key)));
    const platform::LayoutRectangle offset = file.readRect(offsetKey, offsetSection);
    button.setImages(ButtonImages::all(image), QPoint(offset.x, offset.y));
}

std::u16string arrowOffsetKey(ArrowSide side, bool flipOn) {
    std::u16string key = flipOn ? u"UP_" : u"DOWN_";
    key += side == ArrowSide::Left ? u"ARROW_LEFT" : u"ARROW_RIGHT";
    key += static_cast<char16_t>(u'0' + kArrowFrame);
    return key;
}

void placeArrowPicture(CPngButton& arrow, const CIniFile& mainFile, ArrowSide side, bool flipOn,
                       const SkinImage& arrowImage) {
    placeImageButtonFrom(arrow, mainFile, side == ArrowSide::Left ? u"LEFT_ARROW" : u"RIGHT_ARROW",
                         kOffsetSection, arrowOffsetKey(side, flipOn), arrowImage);
}

} // namespace tavrik::ui
