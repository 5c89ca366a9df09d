#pragma once
// What the application profiles dialog asks of the program: the rules as
// they stand, keeping changed ones, the rule in force, and the next
// application that gets the focus (for "pick the next window that gets
// focus").

#include "app/appprofiles/ApplicationRules.h"

#include <functional>
#include <optional>

namespace tavrik::app {

class ApplicationProfilesHost {
public:
    virtual ~ApplicationProfilesHost() = default;

    virtual const ApplicationRules& rules() const = 0;
    // Stores the rules; they take effect at once. False where the settings
    // store could not keep them (the rules stay as they were).
    virtual bool changeRules(const ApplicationRules& rules) = 0;
    // The choice the keyboard follows now, if any.
    virtual std::optional<RuleChoice> inForce() const = 0;
    // Calls `picked` once, with the next application other than this
    // program that gets the focus; a later call replaces an earlier one.
    // False where no focus source runs on this desktop (nothing will come).
    virtual bool pickNextFocus(std::function<void(const FocusedApplication&)> picked) = 0;
    // Forgets a pick that has not come yet.
    virtual void cancelPick() = 0;
};

} // namespace tavrik::app
