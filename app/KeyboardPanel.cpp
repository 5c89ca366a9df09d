#include "app/KeyboardPanel.h"

#include "platform/WindowMessage.h"
#include "ui/CIniFile.h"
#include "ui/SkinPlacement.h"

#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <string>

namespace tavrik::app {
namespace {

// G7..G9 are not in use on the keyboard: their buttons start disabled, as do
// D1..D6, which the Flip setting enables.
constexpr std::size_t kGKeysInUse = 6;

// The slot captions take the colours of the bank light's letters.
const QColor kBankColours[] = {QColor(0x2b, 0xc4, 0xe8), QColor(0xf2, 0xa1, 0x2c)};

// A G key shows the slot of the current bank ("A1", "B1" ...) beside the
// key's own legend, which the skin draws in the middle of the key.
class GKeyButton final : public ui::CPngButton {
public:
    using CPngButton::CPngButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QImage& image = stateImage(state());
        if (!image.isNull()) {
            painter.drawImage(QPoint(0, 0), image, QRect(imageOrigin(), size()));
        }
        if (text().isEmpty()) {
            return;
        }
        QFont caption = font();
        caption.setPixelSize(std::max(8, height() / 3));
        caption.setBold(true);
        painter.setFont(caption);
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(rect().adjusted(0, 0, -4, -2), Qt::AlignRight | Qt::AlignBottom, text());
    }
};

std::u16string dSkinEntry(std::size_t index) {
    return u"FUNC_D" + std::u16string(1, static_cast<char16_t>(u'1' + index));
}

} // namespace

KeyboardPanel::KeyboardPanel(QWidget& window, const ui::CIniFile& layout,
                             const ui::ButtonImages& images)
    : QObject(&window) {
    for (std::size_t i = 0; i < keyboard::kGButtonCount; ++i) {
        gKeys_[i] =
            createButton(window, keyboard::GButtonIds[i], i < kGKeysInUse, new GKeyButton(&window));
        ui::placeImageButton(*gKeys_[i], layout, keyboard::gKeySkinEntry(i), images);
    }
    for (std::size_t p = 0; p < keyboard::kPanelKeyCount; ++p) {
        const keyboard::PanelKey& key = keyboard::PanelKeyList[p];
        keys_[p] = createButton(window, key.buttonId, true, new ui::CPngButton(&window));
        ui::placeImageButton(*keys_[p], layout, keyboard::panelKeySkinEntry(key.code), images);
    }
    for (std::size_t d = 0; d < kDButtonIds.size(); ++d) {
        ui::placeImageButton(
            *createButton(window, kDButtonIds[d], false, new ui::CPngButton(&window)), layout,
            dSkinEntry(d), images);
    }
    ui::placeImageButton(*createButton(window, kFnButtonId, true, new ui::CPngButton(&window)),
                         layout, u"KEY_FN", images);
}

ui::CPngButton* KeyboardPanel::createButton(QWidget& window, int controlId, bool enabled,
                                            ui::CPngButton* button) {
    button->setEnabled(enabled);
    QWidget* owner = &window;
    connect(button, &QAbstractButton::clicked, owner,
            [owner, controlId] { platform::sendCommand(owner, controlId); });
    byId_[controlId] = button;
    return button;
}

ui::CPngButton* KeyboardPanel::button(int controlId) const {
    const auto found = byId_.find(controlId);
    return found == byId_.end() ? nullptr : found->second;
}

void KeyboardPanel::relabelGKeys(int bank) {
    const QChar letter = bank == 0 ? QLatin1Char('A') : QLatin1Char('B');
    for (std::size_t i = 0; i < gKeys_.size(); ++i) {
        QPalette palette = gKeys_[i]->palette();
        palette.setColor(QPalette::ButtonText, kBankColours[bank == 0 ? 0 : 1]);
        gKeys_[i]->setPalette(palette);
        gKeys_[i]->setText(i < kGKeysInUse ? letter + QString::number(i + 1) : QString());
    }
}

void KeyboardPanel::markGKeys() {
    // Marking the G keys of the bank from the working set comes with the
    // on-screen keyboard work; the keys keep their looks until then.
}

void KeyboardPanel::refreshKeyButtons() {
    // The texts, tips and marks of the keys come with the key description
    // work; the keys keep their looks until then.
}

void KeyboardPanel::clickKey(int) {
    // Opening the composite editor for the key, and handing clicks to zone
    // painting, come with the on-screen keyboard and composite editor work;
    // until then a click on a key does nothing.
}

void KeyboardPanel::restoreDefaults() {
    // Restoring the keys of the active profile to their own functions comes
    // with the key description work.
}

void KeyboardPanel::toggleFlip() {
    // The Flip setting (F1..F4 or D1..D6, and the arrow pictures) comes with
    // the profile switching work; until then the Flip buttons do nothing.
}

} // namespace tavrik::app
