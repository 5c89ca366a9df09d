// The rules of the profiles that follow the focused application: what they
// choose, and how they live in the real settings store, broken entries
// included.

#include "app/appprofiles/ApplicationRules.h"

#include "app/appprofiles/ApplicationRulesStore.h"
#include "app/shared/SettingsRoot.h"
#include "tests/support/GuiTestApplication.h"
#include "tests/support/TemporaryFolder.h"

#include <QSettings>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace tavrik::app {
namespace {

TEST(ApplicationRulesTest, ARuleMatchesClassOrInstanceWithoutCaseElseTheDefault) {
    ApplicationRules rules;
    ASSERT_TRUE(rules.set(" Gimp ", 1));
    ASSERT_TRUE(rules.set("steam_app_570", 2));
    EXPECT_FALSE(rules.set("  ", 0)) << "no id";
    EXPECT_FALSE(rules.set("kate", 3)) << "no fourth profile";
    ASSERT_TRUE(rules.set("GIMP", 0)) << "the same id: its profile changes";
    ASSERT_EQ(rules.rules().size(), 2u);
    EXPECT_EQ(rules.rules()[0], (ApplicationRule{"Gimp", 0}));

    const struct {
        FocusedApplication focused;
        std::optional<int> defaultProfile;
        std::optional<int> chosen;
        std::string byRule;
    } cases[] = {
        {{"gimp", "gimp-2.10"}, std::nullopt, 0, "Gimp"},
        {{"Gimp-2.10", "GIMP"}, std::nullopt, 0, "Gimp"}, // the instance matches too
        {{"steam_app_570", ""}, 1, 2, "steam_app_570"},
        {{"org.kde.kate", "kate"}, std::nullopt, std::nullopt, ""},
        {{"org.kde.kate", "kate"}, 1, 1, ""}, // the default
        {{"", ""}, 2, 2, ""},
    };
    for (const auto& c : cases) {
        rules.setDefault(c.defaultProfile);
        const std::optional<RuleChoice> choice = rules.choose(c.focused);
        ASSERT_EQ(choice.has_value(), c.chosen.has_value()) << c.focused.id;
        if (choice) {
            EXPECT_EQ(choice->profile, *c.chosen) << c.focused.id;
            EXPECT_EQ(choice->ruleId, c.byRule) << c.focused.id;
        }
    }
    EXPECT_TRUE(rules.unset("STEAM_APP_570"));
    EXPECT_FALSE(rules.unset("steam_app_570"));
}

class ApplicationRulesStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(folder_.path()));
    }
    void TearDown() override {
        // Back to the user's folder, where the other tests' stores are.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    void writeRaw(const std::vector<std::pair<QString, QString>>& values) {
        QSettings settings(QString::fromLatin1(kSettingsRoot),
                           QString::fromLatin1(kApplicationName));
        settings.remove(QStringLiteral("PROFILES"));
        for (const auto& [key, value] : values) {
            settings.setValue("PROFILES/" + key, value);
        }
    }
    testing::TemporaryFolder folder_;
};

TEST_F(ApplicationRulesStoreTest, RulesComeBackAndBrokenEntriesArePassedOver) {
    ApplicationRules rules;
    rules.set("Gimp", 1);
    rules.set("a=b", 2); // an id may hold "="
    rules.setDefault(0);
    ASSERT_TRUE(storeApplicationRules(rules));
    EXPECT_EQ(loadApplicationRules(), rules);
    rules.unset("Gimp");
    ASSERT_TRUE(storeApplicationRules(rules)) << "fewer rules: the old entry goes";
    EXPECT_EQ(loadApplicationRules(), rules);

    writeRaw({{"APPRULE00", "5"},
              {"APPRULE01", "gimp=2"},
              {"APPRULE02", "broken"},
              {"APPRULE03", "=1"},
              {"APPRULE04", "GIMP=3"}, // a second rule for one id
              {"APPRULE05", "kate=4"},
              {"APPDEFAULT", "7"}});
    const ApplicationRules read = loadApplicationRules();
    ASSERT_EQ(read.rules().size(), 1u);
    EXPECT_EQ(read.rules()[0], (ApplicationRule{"gimp", 1}));
    EXPECT_EQ(read.defaultProfile(), std::nullopt);

    for (const QString& count :
         {QStringLiteral("many"), QStringLiteral("-1"), QStringLiteral("100000")}) {
        writeRaw({{"APPRULE00", count}, {"APPRULE01", "gimp=2"}, {"APPDEFAULT", "2"}});
        EXPECT_TRUE(loadApplicationRules().rules().empty()) << count.toStdString();
        EXPECT_EQ(loadApplicationRules().defaultProfile(), 1) << count.toStdString();
    }
}

} // namespace
} // namespace tavrik::app
