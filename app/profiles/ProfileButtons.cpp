#include "app/profiles/ProfileButtons.h"

#include "app/shared/MainWindowIds.h"
#include "device/Commands.h"
#include "platform/WindowMessage.h"
#include "ui/CIniFile.h"
#include "ui/SkinPlacement.h"

#include <QWidget>

namespace tavrik::app {
namespace {

constexpr std::u16string_view kProfileKeys[] = {u"FUNC_PROFILE1", u"FUNC_PROFILE2",
                                                u"FUNC_PROFILE3"};

} // namespace

ProfileButtons::ProfileButtons(QWidget& window, const ui::CIniFile& layout,
                               const ui::ButtonImages& images)
    : QObject(&window) {
    for (std::size_t i = 0; i < profiles_.size(); ++i) {
        profiles_[i] = createButton(window, kProfileButtonIds[i]);
        profiles_[i]->setCheckable(true);
        ui::placeImageButton(*profiles_[i], layout, kProfileKeys[i], images);
    }
    current_ = createButton(window, command::DefaultProfile);
    ui::placeImageButton(*current_, layout, u"FUNC_PROFILES", images);
}

ui::CPngButton* ProfileButtons::createButton(QWidget& window, int controlId) {
    auto* button = new ui::CPngButton(&window);
    QWidget* owner = &window;
    connect(button, &QAbstractButton::clicked, owner, [this, owner, controlId] {
        // A click toggles a checkable button; the pressed one stays the
        // keyboard's active profile until a switch says otherwise.
        showPressed();
        platform::sendCommand(owner, controlId);
    });
    return button;
}

bool ProfileButtons::showActive(int profile) {
    if (profile < 0 || profile >= static_cast<int>(profiles_.size())) {
        return false;
    }
    shown_ = profile;
    showPressed();
    return true;
}

void ProfileButtons::showPressed() {
    for (std::size_t i = 0; i < profiles_.size(); ++i) {
        profiles_[i]->setChecked(static_cast<int>(i) == shown_);
    }
}

void ProfileButtons::setCaption(const ProfileCaption& caption) {
    current_->setText(QString::fromStdU16String(caption.caption));
    current_->setToolTip(QString::fromStdU16String(caption.tip));
}

void ProfileButtons::updateProfileCaption() {
    setCaption(profileCaptionOf(device::readActiveProfile()));
}

} // namespace tavrik::app
