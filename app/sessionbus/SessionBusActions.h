#pragma once
// What the session bus interface asks of the program, answered by the main
// window: the state it publishes and the commands that scripts and desktop
// shortcuts may give. A command answers through its reply, at once or once
// the keyboard work it started, or waits for, has ended; a failure names a
// D-Bus error and says, in the user's language, what kept it from happening.

#include "app/appprofiles/ApplicationRules.h"

#include <QString>
#include <functional>
#include <optional>

namespace tavrik::app {

struct BusResult {
    QString errorName; // empty: done
    QString message;

    bool succeeded() const { return errorName.isEmpty(); }
    static BusResult done() { return {}; }
};

using BusReply = std::function<void(const BusResult& result)>;

// The interface's own errors, below "org.tavrik.Tavrik1.Error.".
namespace buserror {
inline constexpr const char* NoKeyboard = "org.tavrik.Tavrik1.Error.NoKeyboard";
inline constexpr const char* EditorOpen = "org.tavrik.Tavrik1.Error.EditorOpen";
inline constexpr const char* UnappliedChanges = "org.tavrik.Tavrik1.Error.UnappliedChanges";
inline constexpr const char* Failed = "org.tavrik.Tavrik1.Error.Failed";
inline constexpr const char* InvalidArgs = "org.freedesktop.DBus.Error.InvalidArgs";
} // namespace buserror

class SessionBusActions {
public:
    virtual ~SessionBusActions() = default;

    // 1..3, 0 while no keyboard is there or its profile is unknown.
    virtual unsigned activeProfile() const = 0;
    virtual bool isConnected() const = 0;

    // As the profile buttons do, with their refusals answered by errors
    // instead of dialogs: an open editor, unapplied changes. `profile` is
    // 1..3.
    virtual void setActiveProfile(unsigned profile, const BusReply& reply) = 0;
    // The window in front; refused without a keyboard, as the tray's Open
    // only says so then.
    virtual void show(const BusReply& reply) = 0;
    virtual void importProfile(const QString& path, const BusReply& reply) = 0;
    virtual void exportProfile(const QString& path, const BusReply& reply) = 0;
    virtual void backUp(const QString& path, const BusReply& reply) = 0;
    virtual void restore(const QString& path, const BusReply& reply) = 0;

    // The profiles that follow the focused application.
    virtual const ApplicationRules& applicationRules() const = 0;
    // The choice the keyboard follows now, if any.
    virtual std::optional<RuleChoice> applicationRuleInForce() const = 0;
    // Stores the rules; they take effect at once. False where the settings
    // store could not keep them.
    virtual bool changeApplicationRules(const ApplicationRules& rules) = 0;
    // A desktop's word on what has the focus now.
    virtual void focusChanged(const FocusedApplication& application) = 0;
};

} // namespace tavrik::app
