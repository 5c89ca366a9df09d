#pragma once
// The profile buttons of the main window: the three profile buttons
// (FUNC_PROFILE1..FUNC_PROFILE3, ids 1135..1137), of which the keyboard's
// active profile shows pressed, and the current-profile button
// (FUNC_PROFILES, id 1005) with the active profile's caption and tip. Their
// clicks reach the main window as commands: a profile button switches the
// keyboard's profile, the current-profile button opens the profile manager.

#include "app/profiles/ProfileCaption.h"
#include "ui/CPngButton.h"

#include <QObject>
#include <array>

class QWidget;

namespace tavrik::ui {
class CIniFile;
}

namespace tavrik::app {

class ProfileButtons final : public QObject {
    Q_OBJECT
public:
    static constexpr std::array<int, 3> kProfileButtonIds = {1135, 1136, 1137};

    // Each click goes to `window` as the command of the button's id.
    ProfileButtons(QWidget& window, const ui::CIniFile& layout, const ui::ButtonImages& images);

    ui::CPngButton* profileButton(int profile) const {
        return profiles_.at(static_cast<std::size_t>(profile));
    }
    ui::CPngButton* currentProfileButton() const { return current_; }

    // Profile 0..2 shows pressed and the other two released; any other value
    // leaves the buttons as they are. Returns whether the buttons changed.
    bool showActive(int profile);
    // -1 until a profile was shown.
    int shownProfile() const { return shown_; }

    void setCaption(const ProfileCaption& caption);
    // The caption and tip of the keyboard's active profile, read afresh.
    void updateProfileCaption();

private:
    ui::CPngButton* createButton(QWidget& window, int controlId);
    void showPressed();

    std::array<ui::CPngButton*, 3> profiles_{};
    ui::CPngButton* current_ = nullptr;
    int shown_ = -1;
};

} // namespace tavrik::app
