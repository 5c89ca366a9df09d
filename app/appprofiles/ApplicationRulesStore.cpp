#include "app/appprofiles/ApplicationRulesStore.h"

#include "app/profiles/ProfileSettings.h"

#include <QLoggingCategory>

namespace tavrik::app {
namespace {

Q_LOGGING_CATEGORY(rulesLog, "tavrik.appprofiles", QtInfoMsg)

// A count beyond this comes only from a broken file: rules are typed one by one.
constexpr int kMostRules = 999;

QString ruleKey(int number) {
    return QStringLiteral("APPRULE%1").arg(number, 2, 10, QLatin1Char('0'));
}

const QString kDefaultKey = QStringLiteral("APPDEFAULT");

} // namespace

ApplicationRules loadApplicationRules() {
    ApplicationRules rules;
    bool counted = false;
    const int count = profileSetting(ruleKey(0), QStringLiteral("0")).toInt(&counted);
    if (!counted || count < 0 || count > kMostRules) {
        qCWarning(rulesLog, "the number of application rules is broken: no rules read");
    } else {
        for (int number = 1; number <= count; ++number) {
            const QString text = profileSetting(ruleKey(number), QString());
            const std::optional<ApplicationRule> rule = parseStoredRule(text.toStdString());
            if (!rule || rules.find(rule->id) != nullptr) {
                qCWarning(rulesLog, "application rule %d is broken, passed over: \"%s\"", number,
                          qUtf8Printable(text));
                continue;
            }
            rules.set(rule->id, rule->profile);
        }
    }
    const QString stored = profileSetting(kDefaultKey, QStringLiteral("none"));
    const std::optional<int> fallback = parseStoredDefault(stored.toStdString());
    if (!fallback && stored.trimmed() != QLatin1String("none")) {
        qCWarning(rulesLog, "the default application profile is broken: none");
    }
    rules.setDefault(fallback);
    return rules;
}

bool storeApplicationRules(const ApplicationRules& rules) {
    const int before = profileSetting(ruleKey(0), QStringLiteral("0")).toInt();
    const auto count = static_cast<int>(rules.rules().size());
    for (int number = 1; number <= count; ++number) {
        setProfileSetting(ruleKey(number),
                          QString::fromStdString(storedRule(rules.rules()[number - 1])));
    }
    for (int number = count + 1; number <= std::min(before, kMostRules); ++number) {
        removeProfileSetting(ruleKey(number));
    }
    setProfileSetting(ruleKey(0), QString::number(count));
    setProfileSetting(kDefaultKey, QString::fromStdString(storedDefault(rules.defaultProfile())));
    if (loadApplicationRules() != rules) {
        qCWarning(rulesLog, "the application rules could not be saved");
        return false;
    }
    return true;
}

} // namespace tavrik::app
