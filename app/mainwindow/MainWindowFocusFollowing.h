#pragma once
// The main window's side of profiles that follow the focused application:
// the rules from the settings store, the focus sources of this desktop (the
// X11 active window where the program runs on X11, a wlroots compositor's
// toplevels where it runs on Wayland; desktop scripts reach it through the
// session bus), and the follower's switches made the way of the
// profile buttons, with their refusals kept silent: an automatic switch
// never opens a dialog, it waits and the current-profile button's tip says so.

#include "app/appprofiles/ApplicationProfilesHost.h"
#include "app/appprofiles/FocusFollower.h"

#include <memory>

namespace tavrik::platform {
class WlrForeignToplevels;
class X11FocusWatch;
} // namespace tavrik::platform

namespace tavrik::app {

class CTavrikDlg;

class MainWindowFocusFollowing final : public FocusFollowerTarget, public ApplicationProfilesHost {
public:
    explicit MainWindowFocusFollowing(CTavrikDlg& window);
    ~MainWindowFocusFollowing() override;

    // Reads the rules and starts the focus sources this desktop has.
    void start();

    const FocusFollower& follower() const { return follower_; }

    const ApplicationRules& rules() const override { return follower_.rules(); }
    bool changeRules(const ApplicationRules& rules) override;
    std::optional<RuleChoice> inForce() const override { return follower_.inForce(); }
    bool pickNextFocus(std::function<void(const FocusedApplication&)> picked) override;
    void cancelPick() override { pick_ = nullptr; }

    void focusChanged(const FocusedApplication& application);
    // After each of the window's messages: a switch may no longer have to
    // wait, and one made by hand stands.
    void noticeWindowState();

    int activeProfile() const override;
    bool switchWaits() const override;
    bool switchTo(int profile) override;
    void followingChanged() override;

private:
    CTavrikDlg& window_;
    FocusFollower follower_;
    std::unique_ptr<platform::X11FocusWatch> x11_;
    std::unique_ptr<platform::WlrForeignToplevels> wlroots_;
    std::function<void(const FocusedApplication&)> pick_;
};

} // namespace tavrik::app
