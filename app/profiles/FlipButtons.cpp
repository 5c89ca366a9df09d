#include "app/profiles/FlipButtons.h"

#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/profiles/ProfileSettings.h"
#include "app/shared/MainSkinImages.h"
#include "app/shared/MainWindowIds.h"
#include "platform/WindowMessage.h"
#include "ui/CIniFile.h"

#include <QWidget>

namespace tavrik::app {
namespace {

// The keys F1..F4, which D1..D6 stand in for while the setting is on.
constexpr std::array<int, 4> kFKeyIds = {1010, 1011, 1012, 1013};

} // namespace

FlipButtons::FlipButtons(QWidget& window, const ui::CIniFile& layout, const MainSkinImages& images,
                         KeyboardPanel& keys)
    : QObject(&window), layout_(layout), keys_(keys), offImages_(images.buttons()),
      onImages_(images.highlighted()), arrowImage_(images.arrow) {
    flips_[0] = createFlip(window, command::Flip0, u"FLIP_0");
    // Flip0 only shows the setting.
    flips_[0]->setAttribute(Qt::WA_TransparentForMouseEvents);
    flips_[1] = createFlip(window, command::Flip1, u"FLIP_1");
    flips_[2] = createFlip(window, command::Flip2, u"FLIP_2");
    leftArrow_ = createArrow(window, ui::ArrowSide::Left, *flips_[1]);
    rightArrow_ = createArrow(window, ui::ArrowSide::Right, *flips_[2]);
}

ui::CPngButton* FlipButtons::createFlip(QWidget& window, int controlId,
                                        std::u16string_view skinKey) {
    auto* button = new ui::CPngButton(&window);
    ui::placeImageButton(*button, layout_, skinKey, offImages_);
    QWidget* owner = &window;
    connect(button, &QAbstractButton::clicked, owner,
            [owner, controlId] { platform::sendCommand(owner, controlId); });
    return button;
}

ui::CPngButton* FlipButtons::createArrow(QWidget& window, ui::ArrowSide side,
                                         ui::CPngButton& trigger) {
    auto* arrow = new ui::CPngButton(&window);
    // A picture, not a button; it shows once the pointer has been on its
    // Flip button.
    arrow->setAttribute(Qt::WA_TransparentForMouseEvents);
    arrow->hide();
    connect(&trigger, &ui::CPngButton::pointerEntered, this,
            [this, arrow, side] { showArrow(*arrow, side, flipSetting()); });
    return arrow;
}

void FlipButtons::showArrow(ui::CPngButton& arrow, ui::ArrowSide side, bool flipOn) {
    ui::placeArrowPicture(arrow, layout_, side, flipOn, arrowImage_);
    arrow.show();
    arrow.update();
}

void FlipButtons::toggleFlip() {
    setFlipSetting(!flipSetting());
    applyFlipState();
}

void FlipButtons::applyFlipState() {
    const bool on = flipSetting();
    for (const int id : kFKeyIds) {
        keys_.button(id)->setEnabled(!on);
    }
    for (const int id : KeyboardPanel::kDButtonIds) {
        keys_.button(id)->setEnabled(on);
    }
    flips_[0]->setImages(on ? onImages_ : offImages_, flips_[0]->imageOrigin());
    if (!leftArrow_->isHidden()) {
        showArrow(*leftArrow_, ui::ArrowSide::Left, on);
    }
    if (!rightArrow_->isHidden()) {
        showArrow(*rightArrow_, ui::ArrowSide::Right, on);
    }
}

} // namespace tavrik::app
