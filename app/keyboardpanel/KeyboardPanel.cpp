#include "app/keyboardpanel/KeyboardPanel.h"

#include "app/keyboardpanel/DelayedToolTips.h"
#include "app/keyboardpanel/KeyDescriptions.h"
#include "app/shared/MainSkinImages.h"
#include "device/Channels.h"
#include "device/Commands.h"
#include "keyboard/AssignmentDescription.h"
#include "platform/Ports.h"
#include "platform/WindowMessage.h"
#include "sync/DataSets.h"
#include "sync/KeyboardWork.h"
#include "sync/ProfileActivation.h"
#include "text/LanguageTexts.h"
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

// G7..G9 go to the composite editor even while zones are painted.
constexpr std::array<int, 3> kAlwaysEditedIds = {1141, 1142, 1143};

// A G key shows the slot of the current bank ("A1", "B1" ...) beside the
// key's own legend, which the skin draws in the middle of the key.
class GKeyButton final : public ui::CPngButton {
public:
    using CPngButton::CPngButton;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        paintFace(painter);
        if (text().isEmpty()) {
            return;
        }
        QFont caption = font();
        caption.setPixelSize(std::max(8, height() / 3));
        caption.setBold(true);
        painter.setFont(caption);
        painter.setPen(captionColour(palette().color(QPalette::ButtonText)));
        painter.drawText(rect().adjusted(0, 0, -4, -2), Qt::AlignRight | Qt::AlignBottom, text());
    }
};

std::u16string dSkinEntry(std::size_t index) {
    return u"FUNC_D" + std::u16string(1, static_cast<char16_t>(u'1' + index));
}

int gKeyRow(std::size_t index, int bank) {
    return keyboard::gKeyRowOfSlot(static_cast<int>(index) + keyboard::kGKeyCount * bank);
}

int bankBit() {
    return device::currentBank() == 0 ? 0 : 1;
}

bool isProfileIndex(int profile) {
    return profile >= 0 && profile < sync::kProfileCount;
}

} // namespace

KeyboardPanel::KeyboardPanel(QWidget& window, const ui::CIniFile& layout,
                             const MainSkinImages& images)
    : QObject(&window), normalImages_(images.buttons()), selectedImages_(images.highlighted()) {
    auto* tips = new DelayedToolTips(kToolTipDelayMilliseconds, this);
    const auto take = [&](ui::CPngButton* button, std::u16string_view entry) {
        ui::placeImageButton(*button, layout, entry, normalImages_);
        button->setAssignedImage(images.colour1);
        tips->watch(*button);
    };
    for (std::size_t i = 0; i < keyboard::kGButtonCount; ++i) {
        gKeys_[i] =
            createButton(window, keyboard::GButtonIds[i], i < kGKeysInUse, new GKeyButton(&window));
        take(gKeys_[i], keyboard::gKeySkinEntry(i));
    }
    for (std::size_t p = 0; p < keyboard::kPanelKeyCount; ++p) {
        const keyboard::PanelKey& key = keyboard::PanelKeyList[p];
        keys_[p] = createButton(window, key.buttonId, true, new ui::CPngButton(&window));
        take(keys_[p], keyboard::panelKeySkinEntry(key.code));
    }
    for (std::size_t d = 0; d < kDButtonIds.size(); ++d) {
        ui::placeImageButton(
            *createButton(window, kDButtonIds[d], false, new ui::CPngButton(&window)), layout,
            dSkinEntry(d), normalImages_);
    }
    fnKey_ = createButton(window, kFnButtonId, true, new ui::CPngButton(&window));
    ui::placeImageButton(*fnKey_, layout, u"KEY_FN", normalImages_);
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

void KeyboardPanel::setCompositeEditorOpener(CompositeEditorOpener* opener) {
    editor_ = opener != nullptr ? opener : &noCompositeEditor();
}

void KeyboardPanel::setZonePainting(ZonePainting* painting) {
    painting_ = painting != nullptr ? painting : &noZonePainting();
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

void KeyboardPanel::routeClick(int controlId) {
    // Neither the editor nor zone painting while the keyboard is written:
    // both would change what the work has locked (KeyboardWork.h).
    if (sync::isKeyboardWorkRunning()) {
        return;
    }
    const bool alwaysEdited = std::find(kAlwaysEditedIds.begin(), kAlwaysEditedIds.end(),
                                        controlId) != kAlwaysEditedIds.end();
    if (!alwaysEdited && painting_->isPainting()) {
        painting_->paintZone(controlId);
        return;
    }
    if (controlId != kFnButtonId) {
        clickKey(controlId);
    }
}

std::optional<int> KeyboardPanel::targetRow(int controlId, int bank) {
    if (const auto g = keyboard::gButtonIndexOf(controlId)) {
        return gKeyRow(*g, bank);
    }
    if (const auto position = keyboard::panelPositionOf(controlId)) {
        return keyboard::keyIndexOf(keyboard::PanelKeyList[*position].code);
    }
    return std::nullopt;
}

void KeyboardPanel::clickKey(int controlId) {
    if (sync::isKeyboardWorkRunning()) {
        return;
    }
    const bool macroButton = controlId == keyboard::GButtonIds.back();
    const std::optional<int> row = targetRow(controlId, bankBit());
    if (!row) {
        return;
    }
    if (!isProfileIndex(device::readActiveProfile())) {
        platform::prompter().showMessage(text::languageText("MAIN_NO_DEVICE_PROMPT"), u"",
                                         platform::MessageIcon::None);
        return;
    }
    ui::CPngButton& key = *button(controlId);
    key.setImages(selectedImages_, key.imageOrigin());
    editor_->open({*row, 0, controlId, macroButton});
    key.setImages(normalImages_, key.imageOrigin());
}

std::vector<KeyboardPanel::KeyEntry> KeyboardPanel::keyEntries() const {
    const int bank = bankBit();
    std::vector<KeyEntry> entries;
    entries.reserve(gKeys_.size() + keys_.size());
    for (std::size_t i = 0; i < gKeys_.size(); ++i) {
        entries.push_back({gKeys_[i], gKeyRow(i, bank), static_cast<int>(i), 0});
    }
    for (std::size_t p = 0; p < keys_.size(); ++p) {
        const keyboard::KeyCode code = keyboard::PanelKeyList[p].code;
        entries.push_back({keys_[p], keyboard::keyIndexOf(code), -1, code});
    }
    return entries;
}

void KeyboardPanel::describeEntry(const KeyEntry& entry,
                                  const keyboard::KeyAssignment& assignment) const {
    if (entry.gIndex >= 0) {
        describeGKey(*entry.button, entry.gIndex, assignment);
    } else {
        describeKey(*entry.button, entry.code, assignment);
    }
    // While zones are painted a click paints: the tip says so instead of
    // what the key does, which the click would not edit.
    const bool alwaysEdited = entry.gIndex >= static_cast<int>(kGKeysInUse);
    if (painting_->isPainting() && !alwaysEdited) {
        entry.button->setToolTip(
            QString::fromStdU16String(text::languageText("LIGHTING_PAINTING_KEY_TIP")));
    }
}

void KeyboardPanel::markGKeys() {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    const int layer = device::readActiveProfile();
    const int bank = bankBit();
    const keyboard::AssignmentTable& table = sync::workingSet().table;
    for (std::size_t i = 0; i < gKeys_.size(); ++i) {
        const keyboard::KeyAssignment record =
            table.recordOf(layer, gKeyRow(i, bank)).value_or(keyboard::KeyAssignment{});
        gKeys_[i]->setAssigned(keyboard::isAssigned(record));
        // The tip follows the mark: a tip of the other bank would tell what
        // the key no longer does.
        describeGKey(*gKeys_[i], static_cast<int>(i), record);
    }
}

void KeyboardPanel::refreshDescriptions(bool markFirst) {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    const int layer = device::readActiveProfile();
    const keyboard::AssignmentTable& table = sync::workingSet().table;
    for (const KeyEntry& entry : keyEntries()) {
        const keyboard::KeyAssignment record =
            table.recordOf(layer, entry.row).value_or(keyboard::KeyAssignment{});
        if (markFirst) {
            entry.button->setAssigned(keyboard::isAssigned(record));
        }
        describeEntry(entry, record);
    }
    if (markFirst) {
        emit keysMarked();
    }
}

void KeyboardPanel::clearDescription(int row) {
    for (const KeyEntry& entry : keyEntries()) {
        if (entry.row == row) {
            describeEntry(entry, keyboard::KeyAssignment{});
            return;
        }
    }
}

bool KeyboardPanel::resetPanelAssignments() {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    const int layer = device::readActiveProfile();
    if (!isProfileIndex(layer)) {
        return false;
    }
    keyboard::AssignmentTable& table = sync::workingSet().table;
    for (const KeyEntry& entry : keyEntries()) {
        entry.button->setAssigned(false);
        table.storeRecord(layer, entry.row, keyboard::KeyAssignment{});
        describeEntry(entry, keyboard::KeyAssignment{});
    }
    platform::mainWindow().setApplyEnabled(true);
    return true;
}

std::vector<int> KeyboardPanel::lightingButtonIds() {
    std::vector<int> ids(keyboard::GButtonIds.begin(), keyboard::GButtonIds.end());
    for (const keyboard::PanelKey& key : keyboard::PanelKeyList) {
        ids.push_back(key.buttonId);
    }
    ids.push_back(kFnButtonId);
    return ids;
}

void KeyboardPanel::clearKeyOverlays() {
    for (const int id : lightingButtonIds()) {
        ui::CPngButton* key = button(id);
        key->setColourOverlay(ui::ColourOverlay{false, 0, kOverlayLevel});
        key->setAssigned(false);
    }
}

void KeyboardPanel::showKeyColours(
    const std::function<std::optional<std::uint32_t>(int)>& colourOf) {
    for (const int id : lightingButtonIds()) {
        const std::optional<std::uint32_t> colour = colourOf(id);
        button(id)->setColourOverlay(
            ui::ColourOverlay{colour.has_value(), colour.value_or(0), kOverlayLevel});
    }
}

} // namespace tavrik::app
