// The on-screen keyboard against the real service library and a virtual
// keyboard: where a click goes, what the keys show, and Restore defaults.

#include "app/keyboardpanel/KeyboardPanel.h"

#include "app/shared/MainWindowIds.h"
#include "keyboard/AssignmentTable.h"
#include "macro/MacroList.h"
#include "platform/WindowMessage.h"
#include "tests/app/mainwindow/PanelWindowFixture.h"
#include "ui/SkinImageCache.h"

#include <optional>

namespace tavrik::app {
namespace {

using keyboard::AssignmentType;
using keyboard::KeyAssignment;
using testing::record;
using testing::serveEventsUntil;
using testing::store;
using testing::stored;

constexpr int kKeyA = 1058;
constexpr int kKeyRightCtrl = 1089;
constexpr int kKeyD1 = 1016;
constexpr int kG2 = 1001;
constexpr int kG7 = 1141;

class KeyboardPanelTest : public testing::PanelWindowTest {
protected:
    void pressBank(CTavrikDlg& window, const QString& firstLabel) {
        keyboard_.control("press bank");
        ASSERT_TRUE(serveEventsUntil(
            [&] { return window.keyboardPanel().gButton(0)->text() == firstLabel; }));
    }

    QString tip(int controlId) { return window_->keyboardPanel().button(controlId)->toolTip(); }
    bool marked(int controlId) { return window_->keyboardPanel().button(controlId)->isAssigned(); }
};

TEST_F(KeyboardPanelTest, ClicksOpenTheEditorForTheKeysRowOrGoToZonePainting) {
    CTavrikDlg& window = startWithKeyboard();
    const QImage normal = ui::skinImage(programFolder() + "Skins/main_normal.jpg");
    const QImage selected = ui::skinImage(programFolder() + "Skins/main_down.jpg");
    qint64 shownWhileOpen = 0;
    editor_.whileOpen = [&] {
        const int id = editor_.requests.back().controlId;
        shownWhileOpen =
            window.keyboardPanel().button(id)->stateImage(ui::ButtonState::Normal).cacheKey();
    };
    using Request = CompositeEditorRequest;
    const struct {
        int command;
        bool bankB;
        std::optional<Request> opened;
    } cases[] = {
        {kKeyA, false, Request{0x01E, 0, kKeyA, false}},
        {kKeyRightCtrl, false, Request{157, 0, kKeyRightCtrl, false}},
        {kG2, false, Request{257, 0, kG2, false}},
        {command::MacroEditor, false, Request{264, 0, 1143, true}},
        {kKeyD1, false, std::nullopt},
        {KeyboardPanel::kFnButtonId, false, std::nullopt},
        {kG2, true, Request{266, 0, kG2, false}},
        {command::MacroEditor, true, Request{273, 0, 1143, true}},
    };
    bool bankB = false;
    for (const auto& c : cases) {
        if (c.bankB != bankB) {
            pressBank(window, QStringLiteral("B1"));
            bankB = c.bankB;
        }
        editor_.requests.clear();
        shownWhileOpen = 0;
        platform::sendCommand(&window, c.command);
        if (!c.opened) {
            EXPECT_TRUE(editor_.requests.empty()) << c.command;
            continue;
        }
        ASSERT_EQ(editor_.requests.size(), 1u) << c.command;
        EXPECT_EQ(editor_.requests[0], *c.opened) << c.command;
        // Selected while the editor is open, back to normal once it closed.
        EXPECT_EQ(shownWhileOpen, selected.cacheKey()) << c.command;
        EXPECT_EQ(window.keyboardPanel()
                      .button(c.opened->controlId)
                      ->stateImage(ui::ButtonState::Normal)
                      .cacheKey(),
                  normal.cacheKey());
    }

    // Zone painting takes every click but those of G7..G9.
    painting_.painting = true;
    editor_.requests.clear();
    for (const int id : {kKeyA, kG2, kKeyD1, KeyboardPanel::kFnButtonId, kG7}) {
        platform::sendCommand(&window, id);
    }
    EXPECT_EQ(painting_.painted, (std::vector<int>{kKeyA, kG2, kKeyD1, 1174}));
    ASSERT_EQ(editor_.requests.size(), 1u);
    EXPECT_EQ(editor_.requests[0].row, 256 + 6 + 9);
    EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(KeyboardPanelTest, WithoutAReadableProfileAClickSaysSoAndOpensNothing) {
    CTavrikDlg& window = startWithKeyboard();
    keyboard_.control("unplug");
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::NoKeyboard));
    platform::sendCommand(&window, kKeyA);
    EXPECT_TRUE(editor_.requests.empty());
    ASSERT_EQ(prompter_.messages().size(), 1u);
    EXPECT_EQ(prompter_.messages()[0], text::languageText("MAIN_NO_DEVICE_PROMPT"));
}

TEST_F(KeyboardPanelTest, MarksAndTipsTellEveryAssignmentOfTheActiveProfileAndBank) {
    CTavrikDlg& window = startWithKeyboard();
    {
        const sync::DataSetLock lock = sync::lockWorkingSet();
        auto combo = macro::createMacroRecord(u"Combo", sync::workingSet().macros);
        ASSERT_TRUE(combo.has_value());
        combo->setId(5);
        sync::workingSet().macros.push_back(*combo);
    }
    store(0, 0x01E, record(AssignmentType::SingleKey, 0x030));
    store(0, 0x030, record(AssignmentType::PlayMacro, 5));
    store(0, 0x02E, record(AssignmentType::PlayMacro, 9)); // deleted macro
    store(0, 0x020, record(AssignmentType::Media, 6));
    store(0, 0x012, record(AssignmentType::Function, 4));
    store(0, 0x021, record(AssignmentType::Disabled, 0));
    store(0, 257, record(AssignmentType::Function, 0, 0x0302)); // G2, bank A
    store(0, 265, record(AssignmentType::SingleKey, 0x01E));    // G1, bank B
    store(1, 0x01F, record(AssignmentType::SingleKey, 0x01E));  // S, profile 2
    platform::mainWindow().refreshKeyButtons();

    const struct {
        int id;
        const char* tip;
        bool marked;
    } bankA[] = {
        {kKeyA, "A, set to Key(B)", true},
        {1075, "B, set to Macro(Combo)", true},
        {1073, "C, set to Macro()", true},
        {1060, "D, set to Media(Volume up)", true},
        {1046, "E, set to Function(Copy)", true},
        {1061, "F, set to ", true},
        {1059, "S", false},
        {1000, "G1", false},
        {kG2, "G2, set to Function(Open)", true},
        {kKeyRightCtrl, "Right Ctrl", false},
    };
    for (const auto& c : bankA) {
        EXPECT_EQ(tip(c.id), QString::fromUtf8(c.tip)) << c.id;
        EXPECT_EQ(marked(c.id), c.marked) << c.id;
    }
    // The bank key: the G keys show the other bank's records.
    pressBank(window, QStringLiteral("B1"));
    EXPECT_TRUE(marked(1000));
    EXPECT_EQ(tip(1000), "G1, set to Key(A)");
    EXPECT_FALSE(marked(kG2));
    EXPECT_EQ(tip(kG2), "G2");

    // A deleted macro's keys, one by one; a row of no key changes nothing.
    window.keyboardPanel().clearDescription(265);
    window.keyboardPanel().clearDescription(0x030);
    window.keyboardPanel().clearDescription(0x064);
    EXPECT_EQ(tip(1000), "G1");
    EXPECT_FALSE(marked(1000));
    EXPECT_EQ(tip(1075), "B");
    EXPECT_FALSE(marked(1075));
    EXPECT_TRUE(marked(kKeyA));

    // The lighting editor's zone colours off: no overlay and no mark is left.
    ui::CPngButton& keyA = *window.keyboardPanel().button(kKeyA);
    keyA.setColourOverlay({true, 0x0000FF, 80});
    window.keyboardPanel().clearKeyOverlays();
    EXPECT_EQ(keyA.colourOverlay(), (ui::ColourOverlay{false, 0, 50}));
    EXPECT_FALSE(marked(kKeyA));
}

TEST_F(KeyboardPanelTest, RestoreDefaultsClearsTheShownKeysOfTheActiveLayerOnlyThenApplies) {
    CTavrikDlg& window = startWithKeyboard();
    store(0, 0x01E, record(AssignmentType::SingleKey, 0x030));
    store(0, 256, record(AssignmentType::Function, 3, 0x0301));      // G1, bank A
    store(0, 265, record(AssignmentType::SingleKey, 0x01E, 0x1301)); // G1, bank B
    store(0, 0x064, record(AssignmentType::SingleKey, 0x01E));       // no panel key
    store(1, 0x01E, record(AssignmentType::SingleKey, 0x030));
    window.setApplyEnabled(true);
    platform::mainWindow().refreshKeyButtons();
    painting_.painting = true;

    prompter_.answerQuestionsWith(false);
    window.restoreDefaults();
    ASSERT_EQ(prompter_.questions().size(), 1u);
    EXPECT_EQ(prompter_.questions()[0].first, text::languageText("MAIN_PROMPT_DEFAULT"));
    EXPECT_FALSE(prompter_.questions()[0].second);
    EXPECT_EQ(stored(0, 0x01E).type, AssignmentType::SingleKey);
    EXPECT_EQ(painting_.restored, 0);

    prompter_.answerQuestionsWith(true);
    const long commands = keyboard_.answeredCommands();
    window.restoreDefaults();
    EXPECT_EQ(stored(0, 0x01E), KeyAssignment{});
    EXPECT_EQ(stored(0, 256), KeyAssignment{}); // its tag too
    EXPECT_EQ(stored(0, 265), record(AssignmentType::SingleKey, 0x01E, 0x1301));
    EXPECT_EQ(stored(0, 0x064), record(AssignmentType::SingleKey, 0x01E));
    EXPECT_EQ(stored(1, 0x01E), record(AssignmentType::SingleKey, 0x030));
    EXPECT_FALSE(marked(kKeyA));
    // While zones are painted the tip says what a click does.
    EXPECT_TRUE(tip(1000).startsWith("The lighting switch is on"));
    EXPECT_EQ(painting_.restored, 1);
    // Applied: written to the keyboard, nothing pending.
    EXPECT_GT(keyboard_.answeredCommands(), commands);
    EXPECT_FALSE(window.isApplyEnabled());
    painting_.painting = false;
    window.keyboardPanel().refreshDescriptions(false);
    EXPECT_EQ(tip(1000), "G1");
}

} // namespace
} // namespace tavrik::app
