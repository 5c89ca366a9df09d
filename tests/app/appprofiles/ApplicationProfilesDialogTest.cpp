// The application profiles dialog on the program's skin, against a host
// that keeps the rules in memory (the host is the program's own port): adding
// by typing and by picking, changing and removing a rule, the default, a
// store that refuses, the rule in force, texts that fit in both languages,
// and pictures of the dialog in the build tree for a person to look at.

#include "app/appprofiles/ApplicationProfilesDialog.h"

#include "app/appprofiles/ApplicationProfilesHost.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "tests/support/GuiTestApplication.h"
#include "tests/support/RecordingPorts.h"
#include "tests/support/TemporaryFolder.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"
#include "ui/SkinImageCache.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace tavrik::app {
namespace {

using Dialog = ApplicationProfilesDialog;
using Button = Dialog::Button;

class FakeHost final : public ApplicationProfilesHost {
public:
    const ApplicationRules& rules() const override { return rules_; }
    bool changeRules(const ApplicationRules& rules) override {
        ++changes;
        if (failing) {
            return false;
        }
        rules_ = rules;
        return true;
    }
    std::optional<RuleChoice> inForce() const override { return inForceNow; }
    bool pickNextFocus(std::function<void(const FocusedApplication&)> picked) override {
        if (!focusSource) {
            return false;
        }
        pick_ = std::move(picked);
        return true;
    }
    void cancelPick() override {
        pick_ = nullptr;
        ++cancels;
    }

    // The desktop gives the focus to an application.
    void focus(const FocusedApplication& application) {
        if (auto pick = std::exchange(pick_, nullptr)) {
            pick(application);
        }
    }
    bool waitsForPick() const { return pick_ != nullptr; }

    ApplicationRules rules_;
    std::optional<RuleChoice> inForceNow;
    bool failing = false;
    bool focusSource = true;
    int changes = 0;
    int cancels = 0;

private:
    std::function<void(const FocusedApplication&)> pick_;
};

class ApplicationProfilesDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::installPathSet(platform::buildPathSet(std::string(TAVRIK_BIN_DIR) + "/tavrik",
                                                        folder_.file("Documents")));
        text::loadLanguageTexts(platform::pathSet().languageFile);
        platform::installPrompter(&prompter_);
    }
    void TearDown() override {
        platform::resetPorts();
        platform::resetPathSet();
        text::resetLanguageTexts();
        ui::clearSkinImages();
    }

    // The program's language file with the Chinese texts chosen.
    void loadChinese() {
        std::ifstream in(platform::pathSet().languageFile);
        std::stringstream text;
        text << in.rdbuf();
        std::string content = text.str();
        const std::string chosen = "[LANGUAGE]\nlanguage=1";
        const std::size_t at = content.find(chosen);
        ASSERT_NE(at, std::string::npos);
        content.replace(at, chosen.size(), "[LANGUAGE]\nlanguage=2");
        const std::string file = folder_.file("language.ini");
        std::ofstream(file) << content;
        text::loadLanguageTexts(file);
    }

    static QStringList column(const Dialog& dialog, int column) {
        QStringList texts;
        for (int row = 0; row < dialog.list()->rowCount(); ++row) {
            texts << dialog.list()->item(row, column)->text();
        }
        return texts;
    }
    static QList<int> profiles(const Dialog& dialog) {
        QList<int> shown;
        for (int row = 0; row < dialog.list()->rowCount(); ++row) {
            shown << dialog.profileChoice(row)->currentIndex();
        }
        return shown;
    }
    void add(Dialog& dialog, const QString& id, int profile) {
        dialog.idField()->setText(id);
        dialog.newRuleProfile()->setCurrentIndex(profile);
        dialog.button(Button::Add)->click();
    }

    testing::TemporaryFolder folder_;
    testing::RecordingPrompter prompter_;
    FakeHost host_;
};

TEST_F(ApplicationProfilesDialogTest, AddsByTypingAndChangesAnExistingIdsRule) {
    Dialog dialog(host_);
    add(dialog, QStringLiteral("  gimp "), 1);
    add(dialog, QStringLiteral("steam_app_1"), 2);
    // An id that has a rule already changes that rule.
    add(dialog, QStringLiteral("GIMP"), 0);
    // Nothing to add.
    add(dialog, QStringLiteral("   "), 2);
    const std::vector<ApplicationRule> expected = {{"gimp", 0}, {"steam_app_1", 2}};
    EXPECT_EQ(host_.rules().rules(), expected);
    EXPECT_EQ(host_.changes, 3);
    EXPECT_EQ(column(dialog, Dialog::kIdColumn), QStringList({"gimp", "steam_app_1"}));
    EXPECT_EQ(profiles(dialog), QList<int>({0, 2}));
    EXPECT_EQ(dialog.profileChoice(1)->currentText(), "Profile 3");
    EXPECT_TRUE(dialog.idField()->text().trimmed().isEmpty());
    EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(ApplicationProfilesDialogTest, PickFillsTheIdOfTheNextFocusedApplicationOrIsCancelled) {
    const struct {
        FocusedApplication focused;
        QString filled;
    } cases[] = {
        {{"org.kde.krita", ""}, "org.kde.krita"}, // Wayland app id
        {{"Gimp", "gimp"}, "Gimp"},               // X11: the class
        {{"", "steam"}, "steam"},                 // only an instance name
    };
    for (const auto& c : cases) {
        Dialog dialog(host_);
        dialog.button(Button::Pick)->click();
        EXPECT_TRUE(dialog.isPicking());
        EXPECT_TRUE(host_.waitsForPick());
        EXPECT_EQ(dialog.pickState()->text(), "Waiting: click the application's window.");
        EXPECT_EQ(dialog.button(Button::Pick)->text(), "Cancel the pick");
        host_.focus(c.focused);
        EXPECT_FALSE(dialog.isPicking());
        EXPECT_EQ(dialog.idField()->text(), c.filled);
        EXPECT_TRUE(dialog.pickState()->text().isEmpty());
        EXPECT_EQ(dialog.button(Button::Pick)->text(), "Pick the next window that gets focus");
    }
    EXPECT_EQ(host_.changes, 0);

    // The button cancels a pick; so does closing, and a pick that comes after
    // the dialog is gone reaches none.
    {
        Dialog dialog(host_);
        dialog.button(Button::Pick)->click();
        dialog.button(Button::Pick)->click();
        EXPECT_FALSE(dialog.isPicking());
        EXPECT_FALSE(host_.waitsForPick());
        EXPECT_EQ(host_.cancels, 1);
        dialog.button(Button::Pick)->click();
        dialog.button(Button::Close)->click();
        EXPECT_EQ(host_.cancels, 2);
        dialog.button(Button::Pick)->click();
    }
    EXPECT_EQ(host_.cancels, 3);

    // No focus source on this desktop: said beside the button, nothing waits.
    host_.focusSource = false;
    Dialog dialog(host_);
    dialog.button(Button::Pick)->click();
    EXPECT_FALSE(dialog.isPicking());
    EXPECT_TRUE(dialog.pickState()->text().startsWith("This desktop does not tell"));
}

TEST_F(ApplicationProfilesDialogTest, ChangesARulesProfileRemovesARuleAndSetsTheDefault) {
    host_.rules_.set("gimp", 0);
    host_.rules_.set("krita", 1);
    host_.rules_.set("steam", 2);
    Dialog dialog(host_);
    EXPECT_EQ(profiles(dialog), QList<int>({0, 1, 2}));
    EXPECT_EQ(dialog.defaultChoice()->currentText(), "Leave the keyboard as it is");

    dialog.profileChoice(1)->setCurrentIndex(2);
    EXPECT_EQ(host_.rules().find("krita")->profile, 2);

    dialog.list()->selectRow(0);
    dialog.button(Button::Remove)->click();
    const std::vector<ApplicationRule> left = {{"krita", 2}, {"steam", 2}};
    EXPECT_EQ(host_.rules().rules(), left);
    EXPECT_EQ(column(dialog, Dialog::kIdColumn), QStringList({"krita", "steam"}));
    // Nothing selected: nothing removed.
    dialog.list()->clearSelection();
    dialog.list()->setCurrentCell(-1, -1);
    dialog.button(Button::Remove)->click();
    EXPECT_EQ(host_.rules().rules().size(), 2u);

    for (const auto& [index, stored] :
         {std::pair{2, std::optional<int>(1)}, std::pair{3, std::optional<int>(2)},
          std::pair{0, std::optional<int>()}}) {
        dialog.defaultChoice()->setCurrentIndex(index);
        EXPECT_EQ(host_.rules().defaultProfile(), stored) << index;
    }
    EXPECT_EQ(host_.changes, 5);
    EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(ApplicationProfilesDialogTest, ARefusedChangeIsSaidAndTheRulesShowAsTheyStand) {
    host_.rules_.set("gimp", 0);
    host_.rules_.setDefault(1);
    Dialog dialog(host_);
    host_.failing = true;
    const std::vector<ApplicationRule> before = host_.rules().rules();
    const std::function<void()> changes[] = {
        [&] { add(dialog, QStringLiteral("krita"), 1); },
        [&] { dialog.profileChoice(0)->setCurrentIndex(2); },
        [&] {
            dialog.list()->selectRow(0);
            dialog.button(Button::Remove)->click();
        },
        [&] { dialog.defaultChoice()->setCurrentIndex(0); },
        [&] { add(dialog, QStringLiteral("GIMP"), 2); },
    };
    std::size_t said = 0;
    for (const auto& change : changes) {
        change();
        ASSERT_EQ(prompter_.messages().size(), ++said);
        EXPECT_EQ(prompter_.messages().back(),
                  u"The application profiles could not be saved, so they stay as they were.");
        EXPECT_EQ(host_.rules().rules(), before);
        EXPECT_EQ(column(dialog, Dialog::kIdColumn), QStringList({"gimp"}));
        EXPECT_EQ(profiles(dialog), QList<int>({0}));
        EXPECT_EQ(dialog.defaultChoice()->currentIndex(), 2);
    }
    // The typed id stays for another try, also one that has a rule.
    EXPECT_EQ(dialog.idField()->text(), "GIMP");
}

TEST_F(ApplicationProfilesDialogTest, MarksTheRuleInForceOrTheDefault) {
    host_.rules_.set("gimp", 0);
    host_.rules_.set("Krita", 1);
    host_.rules_.setDefault(2);
    const QString marker = QStringLiteral("\u25CF");
    const struct {
        std::optional<RuleChoice> inForce;
        QStringList marks;
        QString defaultMark;
    } cases[] = {
        {RuleChoice{1, "Krita"}, {"", marker}, ""},
        {RuleChoice{1, "krita"}, {"", marker}, ""}, // as rules compare ids
        {RuleChoice{2, ""}, {"", ""}, "\u25CF in force"},
        {std::nullopt, {"", ""}, ""},
        {RuleChoice{0, "removed"}, {"", ""}, ""},
    };
    for (const auto& c : cases) {
        host_.inForceNow = c.inForce;
        Dialog dialog(host_);
        EXPECT_EQ(column(dialog, Dialog::kInForceColumn), c.marks);
        EXPECT_EQ(dialog.defaultInForce()->text(), c.defaultMark);
    }
    // Another rule comes in force while the dialog is open; it shows after
    // the next change.
    host_.inForceNow = RuleChoice{0, "gimp"};
    Dialog dialog(host_);
    host_.inForceNow = RuleChoice{1, "krita"};
    dialog.defaultChoice()->setCurrentIndex(1);
    EXPECT_EQ(column(dialog, Dialog::kInForceColumn), QStringList({"", marker}));
}

// Every caption in both languages fits its control, and a picture of each is
// written to the build tree. QT_SCALE_FACTOR=2 draws the same pictures at
// twice the size (ctest runs this once so).
TEST_F(ApplicationProfilesDialogTest, TextsFitInBothLanguagesAndPicturesAreDrawn) {
    for (const char* language : {"en", "zh"}) {
        if (std::string(language) == "zh") {
            loadChinese();
        }
        host_.rules_ = {};
        host_.rules_.set("org.kde.krita", 1);
        host_.rules_.set("Gimp", 0);
        host_.rules_.set("steam_app_1091500", 2);
        host_.inForceNow = RuleChoice{1, "org.kde.krita"};
        Dialog dialog(host_);
        dialog.show();
        dialog.button(Button::Pick)->click();
        EXPECT_EQ(dialog.windowTitle(), std::string(language) == "zh"
                                            ? QStringLiteral("应用程序配置")
                                            : QStringLiteral("Application profiles"));
        for (const Button which : {Button::Add, Button::Remove, Button::Pick, Button::Close}) {
            const ui::CPngButton& button = *dialog.button(which);
            EXPECT_LE(button.fontMetrics().horizontalAdvance(button.text()), button.width() - 8)
                << language << " " << button.text().toStdString();
        }
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->wordWrap()) {
                EXPECT_LE(label->heightForWidth(label->width()), label->height())
                    << language << " " << label->text().toStdString();
            } else {
                EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
                    << language << " " << label->text().toStdString();
            }
        }
        const QComboBox& fallback = *dialog.defaultChoice();
        EXPECT_LE(fallback.fontMetrics().horizontalAdvance(fallback.itemText(0)),
                  fallback.width() - 24)
            << language;
        const QImage picture = dialog.grab().toImage();
        EXPECT_EQ(picture.size(), dialog.background().size() * dialog.devicePixelRatio());
        const QString file = QStringLiteral(TAVRIK_RENDER_DIR "/application_profiles_%1@%2x.png")
                                 .arg(QLatin1String(language))
                                 .arg(dialog.devicePixelRatio());
        QDir().mkpath(QStringLiteral(TAVRIK_RENDER_DIR));
        EXPECT_TRUE(picture.save(file)) << file.toStdString();
        EXPECT_TRUE(dialog.hasBackground());
    }
}

} // namespace
} // namespace tavrik::app
