#include "tools/tavrikctl/AppProfileCommand.h"

#include "app/appprofiles/ApplicationRules.h"
#include "app/appprofiles/ApplicationRulesStore.h"
#include "tools/tavrikctl/ProgramBus.h"

#include <QStringList>
#include <functional>
#include <iomanip>
#include <iostream>
#include <optional>

namespace tavrik::tools {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

struct Listing {
    std::vector<app::ApplicationRule> rules;
    std::string fallback; // "none" or "1".."3"
    std::string inForce;  // a rule's id, "*" for the default, empty for none
    bool inForceKnown = false;
};

void print(const Listing& listing) {
    std::size_t width = 7;
    for (const app::ApplicationRule& rule : listing.rules) {
        width = std::max(width, rule.id.size());
    }
    for (const app::ApplicationRule& rule : listing.rules) {
        std::cout << std::left << std::setw(static_cast<int>(width)) << rule.id << "  "
                  << rule.profile + 1 << (listing.inForce == rule.id ? "  (in force)" : "") << '\n';
    }
    std::cout << std::left << std::setw(static_cast<int>(width)) << "default"
              << "  " << listing.fallback << (listing.inForce == "*" ? "  (in force)" : "") << '\n';
    if (!listing.inForceKnown) {
        std::cout << "(Tavrik does not run: no rule is in force)\n";
    }
}

std::optional<Listing> listFromProgram(const ProgramBus& program) {
    const std::optional<QVariantList> answer = program.query("GetApplicationProfiles", {});
    if (!answer || answer->size() != 3) {
        return std::nullopt;
    }
    Listing listing;
    for (const QString& text : answer->at(0).toStringList()) {
        if (const auto rule = app::parseStoredRule(text.toStdString())) {
            listing.rules.push_back(*rule);
        }
    }
    listing.fallback = answer->at(1).toString().toStdString();
    listing.inForce = answer->at(2).toString().toStdString();
    listing.inForceKnown = true;
    return listing;
}

Listing listFromStore() {
    const app::ApplicationRules rules = app::loadApplicationRules();
    return {rules.rules(), app::storedDefault(rules.defaultProfile()), {}, false};
}

int list() {
    if (const auto program = ProgramBus::find()) {
        const std::optional<Listing> listing = listFromProgram(*program);
        if (!listing) {
            std::cerr << "tavrikctl: Tavrik did not tell its application profiles.\n";
            return kFailure;
        }
        print(*listing);
        return kSuccess;
    }
    print(listFromStore());
    return kSuccess;
}

// The change through the running program, or in the store.
int change(const char* method, const QVariantList& arguments,
           const std::function<bool(app::ApplicationRules&)>& changeRules) {
    if (const auto program = ProgramBus::find()) {
        const ProgramAnswer answer = program->call(method, arguments);
        if (!answer.succeeded) {
            std::cerr << "tavrikctl: Tavrik: " << answer.message << '\n';
            return kFailure;
        }
        return kSuccess;
    }
    app::ApplicationRules rules = app::loadApplicationRules();
    if (!changeRules(rules)) {
        return kFailure;
    }
    if (!app::storeApplicationRules(rules)) {
        std::cerr << "tavrikctl: the settings could not be saved.\n";
        return kFailure;
    }
    return kSuccess;
}

std::optional<int> profileOf(const std::string& text) {
    if (text == "1" || text == "2" || text == "3") {
        return text[0] - '1';
    }
    return std::nullopt;
}

} // namespace

int runAppProfileCommand(const std::vector<std::string>& arguments) {
    const std::size_t count = arguments.size();
    const std::string command = count > 0 ? arguments[0] : std::string();
    if (command == "list" && count == 1) {
        return list();
    }
    if (command == "set" && count == 3 && profileOf(arguments[2]) &&
        !app::normalisedApplicationId(arguments[1]).empty()) {
        const int profile = *profileOf(arguments[2]);
        return change(
            "SetApplicationProfile",
            {QString::fromStdString(arguments[1]), static_cast<unsigned>(profile + 1)},
            [&](app::ApplicationRules& rules) { return rules.set(arguments[1], profile); });
    }
    if (command == "unset" && count == 2) {
        return change("UnsetApplicationProfile", {QString::fromStdString(arguments[1])},
                      [&](app::ApplicationRules& rules) {
                          if (!rules.unset(arguments[1])) {
                              std::cerr << "tavrikctl: no rule names " << arguments[1] << ".\n";
                              return false;
                          }
                          return true;
                      });
    }
    if (command == "default" && count == 2 && (arguments[1] == "none" || profileOf(arguments[1]))) {
        const std::optional<int> profile = profileOf(arguments[1]);
        return change("SetDefaultApplicationProfile", {QString::fromStdString(arguments[1])},
                      [&](app::ApplicationRules& rules) {
                          rules.setDefault(profile);
                          return true;
                      });
    }
    return kUsageError;
}

} // namespace tavrik::tools
