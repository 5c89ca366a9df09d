#include "app/appprofiles/ApplicationRules.h"

#include <algorithm>

namespace tavrik::app {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<int> profileOfDigit(std::string_view text) {
    if (text.size() == 1 && text[0] >= '1' && text[0] <= '3') {
        return text[0] - '1';
    }
    return std::nullopt;
}

} // namespace

std::string normalisedApplicationId(std::string_view id) {
    std::string result(trimmed(id));
    std::transform(result.begin(), result.end(), result.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return result;
}

const ApplicationRule* ApplicationRules::find(std::string_view id) const {
    const std::string wanted = normalisedApplicationId(id);
    if (wanted.empty()) {
        return nullptr;
    }
    const auto found = std::find_if(rules_.begin(), rules_.end(), [&](const ApplicationRule& rule) {
        return normalisedApplicationId(rule.id) == wanted;
    });
    return found == rules_.end() ? nullptr : &*found;
}

bool ApplicationRules::set(std::string_view id, int profile) {
    const std::string_view name = trimmed(id);
    if (name.empty() || profile < 0 || profile > 2) {
        return false;
    }
    if (const ApplicationRule* existing = find(name)) {
        const auto at = rules_.begin() + (existing - rules_.data());
        at->profile = profile;
        return true;
    }
    rules_.push_back({std::string(name), profile});
    return true;
}

bool ApplicationRules::unset(std::string_view id) {
    const ApplicationRule* existing = find(id);
    if (existing == nullptr) {
        return false;
    }
    rules_.erase(rules_.begin() + (existing - rules_.data()));
    return true;
}

void ApplicationRules::setDefault(std::optional<int> profile) {
    default_ = profile && *profile >= 0 && *profile <= 2 ? profile : std::nullopt;
}

std::optional<RuleChoice> ApplicationRules::choose(const FocusedApplication& application) const {
    for (const std::string* id : {&application.id, &application.instance}) {
        if (const ApplicationRule* rule = find(*id)) {
            return RuleChoice{rule->profile, rule->id};
        }
    }
    if (default_) {
        return RuleChoice{*default_, {}};
    }
    return std::nullopt;
}

std::string storedRule(const ApplicationRule& rule) {
    return rule.id + "=" + std::to_string(rule.profile + 1);
}

std::optional<ApplicationRule> parseStoredRule(std::string_view text) {
    const auto equals = text.rfind('=');
    if (equals == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view id = trimmed(text.substr(0, equals));
    const std::optional<int> profile = profileOfDigit(trimmed(text.substr(equals + 1)));
    if (id.empty() || !profile) {
        return std::nullopt;
    }
    return ApplicationRule{std::string(id), *profile};
}

std::string storedDefault(std::optional<int> profile) {
    return profile ? std::to_string(*profile + 1) : std::string("none");
}

std::optional<int> parseStoredDefault(std::string_view text) {
    return profileOfDigit(trimmed(text));
}

} // namespace tavrik::app
