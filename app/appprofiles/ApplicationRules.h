#pragma once
// Which profile the keyboard takes while an application has the focus: a
// rule maps an application id to profile 1, 2 or 3, and a default says what
// happens when no rule matches (a profile, or the keyboard left as it is).
// Ids are compared without regard to case (ASCII) and without the blanks
// around them. On X11 a window names its application twice (WM_CLASS: the
// instance and the class); either matches, the class first.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::app {

// What the desktop says of the application that has the focus.
struct FocusedApplication {
    std::string id;       // the Wayland app id, or the X11 class
    std::string instance; // the X11 instance name; empty elsewhere

    friend bool operator==(const FocusedApplication&, const FocusedApplication&) = default;
};

struct ApplicationRule {
    std::string id;  // as the user typed it
    int profile = 0; // 0..2 for profiles 1..3

    friend bool operator==(const ApplicationRule&, const ApplicationRule&) = default;
};

// What a focused application asks of the keyboard.
struct RuleChoice {
    int profile = 0;    // 0..2
    std::string ruleId; // the rule that chose it; empty: the default
};

class ApplicationRules {
public:
    // The rules in the order they were made; one per id.
    const std::vector<ApplicationRule>& rules() const { return rules_; }
    // 0..2, or none: the keyboard stays as it is.
    std::optional<int> defaultProfile() const { return default_; }

    // Adds the rule, or changes the profile of the id's rule. False for an
    // empty id or a profile outside 0..2.
    bool set(std::string_view id, int profile);
    // False when no rule has that id.
    bool unset(std::string_view id);
    void setDefault(std::optional<int> profile);

    // The profile for the application: its rule's, else the default's;
    // none when neither says one.
    std::optional<RuleChoice> choose(const FocusedApplication& application) const;

    // The rule of an id, if any.
    const ApplicationRule* find(std::string_view id) const;

    friend bool operator==(const ApplicationRules&, const ApplicationRules&) = default;

private:
    std::vector<ApplicationRule> rules_;
    std::optional<int> default_;
};

// An id as rules compare it: ASCII letters lowered, blanks around it gone.
std::string normalisedApplicationId(std::string_view id);

// The stored form, one text per rule: "<id>=<profile 1..3>".
std::string storedRule(const ApplicationRule& rule);
// A stored rule read back; none for a broken one (no '=', an empty id, a
// profile that is not 1, 2 or 3).
std::optional<ApplicationRule> parseStoredRule(std::string_view text);
// The stored default: "none" or "1".."3"; a broken one reads as none.
std::string storedDefault(std::optional<int> profile);
std::optional<int> parseStoredDefault(std::string_view text);

} // namespace tavrik::app
