#pragma once
// The keyboard's profile following the focused application. Each focus
// source (the X11 active window, a wlroots compositor's toplevels, a desktop
// script on the session bus) tells what has the focus now; once the focus
// has rested for a moment (Alt+Tab through several windows switches once),
// the rules say which profile it asks for, and the switch goes the way of a
// profile button. It waits, without a dialog, while the key editor is open,
// changes wait for Apply or the keyboard is busy, and goes on when asked
// again. A switch made by hand stands until the focus next moves to another
// application.

#include "app/appprofiles/ApplicationRules.h"

#include <QObject>
#include <QTimer>
#include <optional>

namespace tavrik::app {

// What the follower asks of the program (the main window).
class FocusFollowerTarget {
public:
    virtual ~FocusFollowerTarget() = default;
    // The keyboard's active profile, 0..2, -1 when unknown.
    virtual int activeProfile() const = 0;
    // Whether a switch now would be refused: the editor open, unapplied
    // changes, keyboard work under way, no keyboard.
    virtual bool switchWaits() const = 0;
    // Switches as a profile button does; whether the keyboard took it.
    virtual bool switchTo(int profile) = 0;
    // What the follower stands on now, for the window to show.
    virtual void followingChanged() = 0;
};

class FocusFollower final : public QObject {
    Q_OBJECT
public:
    // How long the focus rests before the profile follows it.
    static constexpr int kSettleMilliseconds = 300;

    FocusFollower(FocusFollowerTarget& target, QObject* parent = nullptr);

    const ApplicationRules& rules() const { return rules_; }
    // New rules take effect at once for what has the focus now.
    void setRules(ApplicationRules rules);

    // A focus source tells what has the focus; the same application again
    // changes nothing.
    void focusChanged(const FocusedApplication& application);
    // The switch that waited is tried again (the editor closed, changes
    // applied or dropped, keyboard work ended).
    void retry();
    // The keyboard's active profile as the window shows it now, after any
    // switch: one that the follower did not make is the user's (a profile
    // button, the keyboard's own key, a script), and it stands until the
    // focus next moves; no rule is in force meanwhile.
    void noticeActiveProfile(int active);

    // The application with the focus, if any was told.
    const std::optional<FocusedApplication>& focused() const { return focused_; }
    // The rule's choice the keyboard follows now, if any.
    const std::optional<RuleChoice>& inForce() const { return inForce_; }
    // The choice that waits for the editor, Apply or the keyboard.
    const std::optional<RuleChoice>& waiting() const { return waiting_; }

private:
    void follow();
    bool switchTo(int profile);

    FocusFollowerTarget& target_;
    ApplicationRules rules_;
    QTimer settle_;
    std::optional<FocusedApplication> focused_;
    std::optional<RuleChoice> inForce_;
    std::optional<RuleChoice> waiting_;
    // While the follower's own switch runs.
    bool switching_ = false;
};

} // namespace tavrik::app
