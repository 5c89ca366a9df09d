#include "app/compositeeditor/CompositePlacement.h"
#include "app/compositeeditor/MacroTimelineView.h"
#include "tests/app/compositeeditor/CompositeEditorFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <cstdlib>
#include <fstream>
#include <string_view>

namespace tavrik::testing {
namespace {

using keyboard::AssignmentType;
using keyboard::KeyAssignment;
using macro::MacroAction;

constexpr int kRowA = 0x1E;
constexpr int kRowG3 = 258;
constexpr int kRowG9 = 264;
constexpr quint32 kXkbF1 = 67;

class HelpCatcher final : public QObject {
    Q_OBJECT
public:
    HelpCatcher() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~HelpCatcher() override { QDesktopServices::unsetUrlHandler("file"); }
    int opened = 0;

public slots:
    void open(const QUrl&) { ++opened; }
};

TEST_F(CompositeEditorTest, OpensOnAMacroKeyWithItsMacroShown) {
    setMacros({macroOf(1, u"one"), macroOf(5, u"five", {{120, 0x1E, 0}, {0, 0x1E, 1}}, 4),
               macroOf(7, u"seven")});
    store(0, kRowA, {AssignmentType::PlayMacro, 4, 5});
    open(kRowA);
    EXPECT_EQ(editor_->openCount(), 1);
    EXPECT_EQ(editor_->mode(), AssignmentType::PlayMacro);
    EXPECT_EQ(section().selectedMacro(), 1);
    EXPECT_EQ(section().selector().currentText(), "five");
    EXPECT_EQ(section().cyclesField().text(), "4");
    ASSERT_EQ(actions().rowCount(), 2);
    EXPECT_EQ(actions().index(1, app::ActionListModel::DirectionColumn).data().toString(),
              QStringLiteral("  \u2191"));
    EXPECT_TRUE(editor_->frameButton(FrameButton::Macro).isChecked());
    EXPECT_FALSE(editor_->frameButton(FrameButton::Key).isChecked());
    EXPECT_TRUE(section().button(Button::Record).isEnabled());
    EXPECT_EQ(section().timeline().summary(), "2 actions, 0.12 s, x4 = 0.48 s");
    EXPECT_FALSE(editor_->isModified());
}

TEST_F(CompositeEditorTest, TheSingleKeyFieldTakesTheNextKeyAndOkWritesIt) {
    struct Case {
        const char* what;
        quint32 xkbKeycode;
        int qtKey;
        bool thenDefault;
        KeyAssignment written;
    };
    const Case cases[] = {
        {"B", xkb::B, Qt::Key_B, false, {AssignmentType::SingleKey, 0, 0x30}},
        {"the key itself", xkb::A, Qt::Key_A, false, {AssignmentType::Default, 0, 0}},
        {"B, then the default button", xkb::B, Qt::Key_B, true, {AssignmentType::Default, 0, 0}},
        {"no native code: the Qt key", 0, Qt::Key_B, false, {AssignmentType::SingleKey, 0, 0x30}},
    };
    for (const Case& c : cases) {
        store(0, kRowA, {AssignmentType::Media, 0, 3});
        open(kRowA);
        click(FrameButton::Key);
        tap(c.xkbKeycode, c.qtKey);
        EXPECT_EQ(editor_->keyField().text(), c.qtKey == Qt::Key_B ? "B" : "A") << c.what;
        if (c.thenDefault) {
            click(FrameButton::Default);
            EXPECT_TRUE(editor_->keyField().text().isEmpty()) << c.what;
        }
        EXPECT_TRUE(editor_->isModified()) << c.what;
        click(FrameButton::Ok);
        EXPECT_EQ(recordAt(0, kRowA), c.written) << c.what;
        EXPECT_EQ(editor_->openCount(), 0) << c.what;
        EXPECT_FALSE(editor_->isVisible()) << c.what;
    }
    EXPECT_EQ(panel_.refreshes, 4);
    EXPECT_TRUE(window_.isApplyEnabled());
}

TEST_F(CompositeEditorTest, CaptureTakesPressesNotReleasesAndLetsMediaKeysThrough) {
    open(kRowA);
    ASSERT_TRUE(editor_->hooks().isCapturing());
    key(xkb::LeftShift, Qt::Key_Shift, false);
    EXPECT_EQ(editor_->singleKey(), 0x2A);
    tap(xkb::A, Qt::Key_A);
    key(xkb::LeftShift, Qt::Key_Shift, true);
    EXPECT_EQ(editor_->singleKey(), 0x1E) << "the release of Shift is no key of its own";
    key(xkb::Menu, Qt::Key_Menu, true);
    EXPECT_EQ(editor_->singleKey(), 0x15D) << "the application key counts on release too";
    tap(xkb::PlayPause, Qt::Key_MediaTogglePlayPause);
    EXPECT_EQ(editor_->singleKey(), 0x15D);
    click(FrameButton::Media);
    EXPECT_FALSE(editor_->hooks().isCapturing());
    tap(xkb::B, Qt::Key_B);
    EXPECT_EQ(editor_->singleKey(), 0x15D);
}

TEST_F(CompositeEditorTest, TheFirstSwitchToMacrosSelectsTheFirstOnlyForAnEmptyValue) {
    setMacros({macroOf(1, u"one", {{0, 0x1E, 0}}), macroOf(2, u"two")});
    store(0, kRowA, {AssignmentType::SingleKey, 0, 0x30});
    open(kRowA);
    EXPECT_EQ(editor_->keyField().text(), "B");
    click(FrameButton::Macro);
    EXPECT_EQ(section().selectedMacro(), -1);
    EXPECT_FALSE(section().button(Button::Record).isEnabled());
    editor_->reject();

    store(0, kRowA, {AssignmentType::Default, 0, 0});
    open(kRowA);
    click(FrameButton::Macro);
    EXPECT_EQ(section().selectedMacro(), 0);
    EXPECT_EQ(actions().rowCount(), 1);
}

TEST_F(CompositeEditorTest, TheMacroSectionWithoutMacrosWritesDefault) {
    store(0, kRowA, {AssignmentType::SingleKey, 0, 0x30});
    open(kRowA);
    click(FrameButton::Macro);
    EXPECT_TRUE(editor_->apply());
    EXPECT_EQ(recordAt(0, kRowA).type, AssignmentType::Default);
}

TEST_F(CompositeEditorTest, CancelForgetsMacrosThatApplyDidNotCommit) {
    setMacros({macroOf(1, u"one")});
    open(kRowA);
    click(FrameButton::Macro);
    for (int i = 0; i < 3; ++i) {
        click(Button::Add);
    }
    EXPECT_EQ(section().selector().count(), 4);
    EXPECT_EQ(section().selector().itemText(3), "Macro3");
    click(FrameButton::Cancel);
    EXPECT_EQ(workingMacros().size(), 1u);
    EXPECT_EQ(section().selector().count(), 0) << "the copies are gone";

    open(kRowA);
    click(FrameButton::Macro);
    click(Button::Add);
    EXPECT_EQ(section().selector().currentText(), "Macro4") << "the counter survives";
    ASSERT_TRUE(editor_->apply());
    click(Button::Add);
    click(FrameButton::Cancel);
    const macro::MacroList kept = workingMacros();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[1].id(), 2);
    EXPECT_EQ(kept[1].newFlag(), 0);
    EXPECT_EQ(recordAt(0, kRowA), (KeyAssignment{AssignmentType::PlayMacro, 1, 2}));
}

TEST_F(CompositeEditorTest, G3SetToAMediaFunction) {
    open(kRowG3, 1002);
    click(FrameButton::Media);
    EXPECT_TRUE(editor_->mediaList().isVisible());
    EXPECT_FALSE(editor_->keyField().isVisible());
    EXPECT_EQ(editor_->mediaList().count(), 18);
    editor_->mediaList().setCurrentIndex(4);
    click(FrameButton::Ok);
    EXPECT_EQ(recordAt(0, kRowG3), (KeyAssignment{AssignmentType::Media, 0x0303, 4}));

    store(1, kRowG3, {AssignmentType::Function, 0x0303, 9});
    keyboard_.control("press profile 1");
    open(kRowG3, 1002);
    EXPECT_EQ(editor_->functionList().currentIndex(), 9) << "opened on the active profile's record";
    EXPECT_EQ(editor_->functionList().currentText(), "Zoom out");
    editor_->reject();
}

TEST_F(CompositeEditorTest, TheMacroButtonEditsMacrosOnlyForG9) {
    setMacros({macroOf(3, u"three"), macroOf(8, u"eight")});
    open(kRowG9, app::Tavrik_DlgComposite::kMacroKeyButtonId, true);
    EXPECT_TRUE(editor_->isMacroOnly());
    EXPECT_EQ(editor_->mode(), AssignmentType::PlayMacro);
    for (const FrameButton which :
         {FrameButton::Key, FrameButton::Media, FrameButton::Function, FrameButton::Default}) {
        EXPECT_FALSE(editor_->frameButton(which).isEnabled());
    }
    EXPECT_TRUE(editor_->frameButton(FrameButton::Macro).isEnabled());
    section().selectMacro(1);
    section().loadSelectedMacro();
    QLineEdit& cycles = section().cyclesField();
    cycles.clear();
    QTest::keyClicks(&cycles, "6");
    click(FrameButton::Ok);
    EXPECT_EQ(recordAt(0, kRowG9), (KeyAssignment{AssignmentType::PlayMacro, 6, 8}));

    open(kRowA);
    EXPECT_TRUE(editor_->frameButton(FrameButton::Key).isEnabled()) << "the next key is whole";
    editor_->reject();
}

// The title names the key being edited, by the key table's name or the G
// key's slot in its bank.
TEST_F(CompositeEditorTest, TheTitleNamesTheEditedKey) {
    const struct {
        int row;
        int buttonId;
        bool macroButton;
        QString title;
    } cases[] = {
        {kRowA, 1058, false, QStringLiteral("Key settings — A")},
        {0x00E, 1058, false, QStringLiteral("Key settings — Backspace")},
        {kRowG3, 1002, false, QStringLiteral("Key settings — A3")},
        {kRowG3 + 9, 1002, false, QStringLiteral("Key settings — B3")},
        {kRowG9, app::Tavrik_DlgComposite::kMacroKeyButtonId, true, QStringLiteral("Macro editor")},
    };
    for (const auto& entry : cases) {
        open(entry.row, entry.buttonId, entry.macroButton);
        EXPECT_EQ(editor_->title(), entry.title) << entry.row;
        editor_->reject();
    }
}

// Every heading of the action list shows whole.
TEST_F(CompositeEditorTest, TheActionListsColumnsFitTheirHeadings) {
    setMacros({macroOf(3, u"three")});
    open(kRowA);
    click(FrameButton::Macro);
    const QHeaderView& header = *section().actionList().horizontalHeader();
    for (int column = 0; column < app::ActionListModel::ColumnCount; ++column) {
        const QString heading =
            section().actionList().model()->headerData(column, Qt::Horizontal).toString();
        EXPECT_FALSE(heading.isEmpty()) << column;
        EXPECT_GE(header.sectionSize(column), header.sectionSizeHint(column))
            << heading.toStdString();
        EXPECT_GT(header.sectionSize(column), header.fontMetrics().horizontalAdvance(heading))
            << heading.toStdString();
    }
    editor_->reject();
}

TEST_F(CompositeEditorTest, TypedPausesAreLimitedAndCut) {
    setMacros({macroOf(1, u"one", {{0, 0x1E, 0}, {0, 0x1E, 1}})});
    store(0, kRowA, {AssignmentType::PlayMacro, 1, 1});
    open(kRowA);
    struct Case {
        const char* typed;
        int pause;
        std::size_t messages;
    };
    for (const Case& c : {Case{"40005", 40000, 1}, Case{"1234", 1230, 1}}) {
        section().actionList().edit(actions().index(0, app::ActionListModel::PauseColumn));
        auto* field = qobject_cast<QLineEdit*>(const_cast<QWidget*>(section().openCellEditor()));
        ASSERT_NE(field, nullptr);
        field->setText(QString::fromLatin1(c.typed));
        section().commitOpenEdit();
        EXPECT_EQ(actions().actions()[0].pause, c.pause) << c.typed;
        EXPECT_EQ(prompter_.messages().size(), c.messages) << c.typed;
    }
    EXPECT_EQ(prompter_.messages().front(), u"The longest delay is 40000 ms.");
    EXPECT_TRUE(editor_->isModified());
    // Cancel drops an edit still open, unread.
    section().actionList().edit(actions().index(1, app::ActionListModel::PauseColumn));
    qobject_cast<QLineEdit*>(const_cast<QWidget*>(section().openCellEditor()))->setText("99999");
    click(FrameButton::Cancel);
    EXPECT_EQ(prompter_.messages().size(), 1u);
    EXPECT_EQ(workingMacros()[0].action(1).pause, 0);
}

TEST_F(CompositeEditorTest, KeyAndDirectionCellsChangeOnlyOnAnotherChoice) {
    setMacros({macroOf(1, u"one", {{10, 0x1E, 0}})});
    store(0, kRowA, {AssignmentType::PlayMacro, 1, 1});
    open(kRowA);
    const auto choose = [this](int column, int entry) {
        section().actionList().edit(actions().index(0, column));
        auto* list = qobject_cast<QComboBox*>(const_cast<QWidget*>(section().openCellEditor()));
        EXPECT_NE(list, nullptr);
        if (list != nullptr) {
            list->setCurrentIndex(entry);
        }
        section().commitOpenEdit();
    };
    choose(app::ActionListModel::KeyColumn, 0); // "A", as it was
    choose(app::ActionListModel::DirectionColumn, 0);
    EXPECT_FALSE(editor_->isModified());
    choose(app::ActionListModel::KeyColumn, 103);
    choose(app::ActionListModel::DirectionColumn, 1);
    EXPECT_EQ(actions().actions()[0], (MacroAction{10, 0x036, 1})) << "Right Shift, released";
    EXPECT_TRUE(editor_->isModified());
}

TEST_F(CompositeEditorTest, CyclesAreKeptWithin1To255) {
    setMacros({macroOf(1, u"one")});
    store(0, kRowA, {AssignmentType::PlayMacro, 1, 1});
    open(kRowA);
    QLineEdit& cycles = section().cyclesField();
    for (const auto& [typed, shown] : {std::pair{"0", "1"}, std::pair{"300", "255"}}) {
        cycles.clear();
        QTest::keyClicks(&cycles, typed);
        EXPECT_EQ(cycles.text(), shown) << typed;
    }
    click(FrameButton::Ok);
    EXPECT_EQ(workingMacros()[0].cycles(), 255);
    EXPECT_EQ(recordAt(0, kRowA).tag, 255);
}

TEST_F(CompositeEditorTest, DeletingMacrosSelectsThePreviousOne) {
    setMacros({macroOf(1, u"one"), macroOf(2, u"two"), macroOf(3, u"three")});
    store(0, kRowA, {AssignmentType::PlayMacro, 1, 2});
    open(kRowA);
    ASSERT_EQ(section().selectedMacro(), 1);
    prompter_.answerQuestionsWith(true);
    click(Button::Delete);
    EXPECT_EQ(prompter_.questions().size(), 1u) << "key A plays it";
    EXPECT_EQ(section().selectedMacro(), 0);
    EXPECT_EQ(section().selector().currentText(), "one");
    click(Button::Delete);
    click(Button::Delete);
    EXPECT_EQ(section().selector().count(), 0);
    EXPECT_EQ(actions().rowCount(), 0);
    EXPECT_FALSE(section().button(Button::Record).isEnabled());
    EXPECT_FALSE(section().button(Button::Clear).isEnabled());
    click(FrameButton::Ok);
    EXPECT_TRUE(workingMacros().empty());
    EXPECT_EQ(recordAt(0, kRowA).type, AssignmentType::Default);
}

TEST_F(CompositeEditorTest, TypingIntoAnEmptySelectorCreatesAndRenamesOneMacro) {
    open(kRowA);
    click(FrameButton::Macro);
    QTest::keyClicks(section().selector().lineEdit(), "Fire");
    EXPECT_EQ(section().selector().count(), 1);
    ASSERT_EQ(section().copies().size(), 1u);
    EXPECT_EQ(section().copies()[0].name(), u"Fire");
    EXPECT_EQ(section().copies()[0].id(), 1);
    EXPECT_EQ(section().copies()[0].cycles(), 1);
    EXPECT_TRUE(section().button(Button::Record).isEnabled());
    click(Button::Add);
    QTest::keyClick(section().selector().lineEdit(), Qt::Key_Backspace);
    EXPECT_EQ(section().copies()[1].name(), u"Macro");
    EXPECT_EQ(section().selector().itemText(1), "Macro");
    EXPECT_EQ(section().copies()[0].name(), u"Fire");
}

TEST_F(CompositeEditorTest, AddingKeepsTheActionsOfTheMacroBefore) {
    setMacros({macroOf(1, u"one", {{10, 0x1E, 0}})});
    store(0, kRowA, {AssignmentType::PlayMacro, 1, 1});
    open(kRowA);
    section().actionList().selectRow(0);
    click(Button::DeleteAction);
    EXPECT_EQ(actions().rowCount(), 0);
    click(Button::Add);
    EXPECT_EQ(section().copies()[0].actionCount(), 0u) << "the edit went back into macro one";
}

TEST_F(CompositeEditorTest, ClearAsksAndMovesKeepTheSelection) {
    setMacros({macroOf(1, u"one", {{10, 0x10, 0}, {20, 0x11, 0}, {30, 0x12, 0}})});
    store(0, kRowA, {AssignmentType::PlayMacro, 1, 1});
    open(kRowA);
    section().actionList().selectRow(0);
    click(Button::Bottom);
    EXPECT_EQ(section().selectedAction(), 2);
    click(Button::Up);
    EXPECT_EQ(section().selectedAction(), 1);
    EXPECT_EQ(actions().actions()[1].keyCode, 0x10);
    click(Button::Clear);
    EXPECT_EQ(actions().rowCount(), 3) << "No is the default answer";
    ASSERT_EQ(prompter_.questions().size(), 1u);
    EXPECT_FALSE(prompter_.questions()[0].second);
    prompter_.answerQuestionsWith(true);
    click(Button::Clear);
    EXPECT_EQ(actions().rowCount(), 0);
}

class CompositeRecordingTest : public CompositeEditorTest {
protected:
    void openOnMacro(std::vector<MacroAction> steps = {}) {
        setMacros({macroOf(1, u"one", std::move(steps))});
        store(0, kRowA, {AssignmentType::PlayMacro, 1, 1});
        open(kRowA);
    }
    void at(std::uint32_t tick, quint32 xkbKeycode, int qtKey, bool release) {
        tick_ = tick;
        key(xkbKeycode, qtKey, release);
    }
    std::vector<std::int32_t> pauses() {
        std::vector<std::int32_t> result;
        for (const MacroAction& action : actions().actions()) {
            result.push_back(action.pause);
        }
        return result;
    }
};

TEST_F(CompositeRecordingTest, RecordsWithMeasuredOrFixedPausesAsTheOptionSays) {
    const QString settings =
        QString::fromStdString(folder_.file("config/Tavrik_Lumora/Tavrik.conf"));
    for (const bool measured : {true, false}) {
        openOnMacro();
        if (section().recordPausesBox().isChecked() != measured) {
            section().recordPausesBox().click();
        }
        EXPECT_EQ(
            QSettings(settings, QSettings::IniFormat).value("PROFILES/RecordDelay").toString(),
            measured ? "1" : "0");
        tick_ = 1000;
        click(Button::Record);
        ASSERT_TRUE(section().isRecording());
        EXPECT_FALSE(section().selector().isEnabled());
        EXPECT_FALSE(section().button(Button::Add).isEnabled());
        EXPECT_EQ(section().button(Button::Record).text(), "Stop recording");
        at(1000, xkb::A, Qt::Key_A, false);
        at(1100, xkb::A, Qt::Key_A, true);
        at(1400, xkb::B, Qt::Key_B, false);
        at(1480, xkb::B, Qt::Key_B, true);
        click(Button::Record);
        const std::vector<std::int32_t> expected = measured
                                                       ? std::vector<std::int32_t>{100, 300, 80, 0}
                                                       : std::vector<std::int32_t>{50, 50, 50, 0};
        EXPECT_EQ(pauses(), expected);
        EXPECT_EQ(section().timeline().timeline().actionCount(), 4u);
        EXPECT_EQ(section().button(Button::Record).text(), "Record");
        EXPECT_TRUE(section().selector().isEnabled());
        editor_->reject();
    }
}

TEST_F(CompositeRecordingTest, AStrayStoredOptionReadsAsOffAndIsWrittenBack) {
    const QString settings =
        QString::fromStdString(folder_.file("config/Tavrik_Lumora/Tavrik.conf"));
    QSettings(settings, QSettings::IniFormat).setValue("PROFILES/RecordDelay", "7");
    openOnMacro();
    EXPECT_FALSE(section().recordPausesBox().isChecked());
    EXPECT_EQ(QSettings(settings, QSettings::IniFormat).value("PROFILES/RecordDelay").toString(),
              "0");
}

TEST_F(CompositeRecordingTest, RecordsAfterTheSelectedActionAndTheMediaKeyPasses) {
    std::vector<MacroAction> steps;
    for (int i = 0; i < 10; ++i) {
        steps.push_back({10 * (i + 1), static_cast<keyboard::KeyCode>(0x10 + i), 0});
    }
    openOnMacro(steps);
    section().recordPausesBox().click();
    section().actionList().selectRow(2);
    tick_ = 500;
    click(Button::Record);
    at(750, xkb::PlayPause, Qt::Key_MediaTogglePlayPause, false);
    at(800, xkb::A, Qt::Key_A, false);
    at(900, xkb::A, Qt::Key_A, true);
    ASSERT_EQ(actions().rowCount(), 12) << "the media key is not recorded";
    EXPECT_EQ(pauses()[2], 300) << "action 3 waits from the start of recording";
    EXPECT_EQ(actions().actions()[3], (MacroAction{100, 0x1E, 0}));
    EXPECT_EQ(actions().actions()[4], (MacroAction{30, 0x1E, 1}));
    EXPECT_EQ(section().selectedAction(), 4);
}

// A held key as X delivers it: each repeat a release and a press with one
// timestamp, neither marked as a repeat. One press and one release are
// recorded; the release shows once no repeat followed it, or at Stop.
TEST_F(CompositeRecordingTest, AKeyHeldWithUnmarkedRepeatsIsOnePressAndOneRelease) {
    openOnMacro();
    section().recordPausesBox().click();
    tick_ = 1000;
    click(Button::Record);
    tick_ = 1100;
    key(xkb::A, Qt::Key_A, false, false, 5100);
    for (quint64 t = 5600; t < 7600; t += 33) {
        tick_ = static_cast<std::uint32_t>(t - 4000);
        key(xkb::A, Qt::Key_A, true, false, t);
        key(xkb::A, Qt::Key_A, false, false, t);
    }
    tick_ = 3700;
    key(xkb::A, Qt::Key_A, true, false, 7700);
    const QDeadlineTimer patience(5000);
    while (actions().rowCount() != 2 && !patience.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(actions().rowCount(), 2) << "the release shows by itself";
    tick_ = 3800;
    key(xkb::B, Qt::Key_B, false, false, 7800);
    key(xkb::B, Qt::Key_B, true, false, 7850);
    click(Button::Record);
    EXPECT_EQ(
        actions().actions(),
        (std::vector<MacroAction>{{2600, 0x1E, 0}, {100, 0x1E, 1}, {0, 0x30, 0}, {0, 0x30, 1}}));
}

TEST_F(CompositeRecordingTest, RecordingStopsWhenTheSectionChangesOrAPauseIsEdited) {
    openOnMacro({{10, 0x1E, 0}});
    click(Button::Record);
    section().actionList().edit(actions().index(0, app::ActionListModel::PauseColumn));
    EXPECT_FALSE(section().isRecording());
    section().commitOpenEdit();
    click(Button::Record);
    click(FrameButton::Function);
    EXPECT_FALSE(section().isRecording());
    EXPECT_FALSE(editor_->hooks().isRecording());
    click(FrameButton::Macro);
    click(Button::Record);
    EXPECT_TRUE(editor_->apply());
    EXPECT_FALSE(section().isRecording());
}

TEST_F(CompositeEditorTest, EnterAndEscapeNeitherCloseNorPick) {
    setMacros({macroOf(1, u"same"), macroOf(2, u"same")});
    store(0, kRowA, {AssignmentType::PlayMacro, 1, 2});
    open(kRowA);
    section().selector().lineEdit()->setFocus();
    QTest::keyClick(section().selector().lineEdit(), Qt::Key_Return);
    QTest::keyClick(section().selector().lineEdit(), Qt::Key_Escape);
    QTest::keyClick(editor_.get(), Qt::Key_Escape);
    EXPECT_TRUE(editor_->isVisible());
    EXPECT_EQ(section().selectedMacro(), 1) << "Enter did not pick the first entry of that name";
    click(FrameButton::Key);
    tap(xkb::Return, Qt::Key_Return);
    EXPECT_EQ(editor_->singleKey(), 0x1C) << "the single-key field still takes Enter";
    tap(xkb::Escape, Qt::Key_Escape);
    EXPECT_EQ(editor_->singleKey(), 0x01);
    EXPECT_TRUE(editor_->isVisible());
}

TEST_F(CompositeRecordingTest, TheHelpKeyOpensTheGuideUnlessItIsRecordedOrCaptured) {
    HelpCatcher help;
    std::filesystem::create_directories(folder_.file("bin/Help"));
    std::ofstream(folder_.file("bin/Help/index.html")) << "<html></html>";
    openOnMacro();
    tap(kXkbF1, Qt::Key_F1);
    EXPECT_EQ(help.opened, 1);
    click(Button::Record);
    tap(kXkbF1, Qt::Key_F1);
    EXPECT_EQ(help.opened, 1);
    ASSERT_EQ(actions().rowCount(), 2);
    EXPECT_EQ(actions().actions()[0].keyCode, 0x3B);
    click(FrameButton::Key);
    tap(kXkbF1, Qt::Key_F1);
    EXPECT_EQ(help.opened, 1);
    EXPECT_EQ(editor_->singleKey(), 0x3B);
}

TEST_F(CompositeEditorTest, TheOnScreenKeyboardButtonStartsOneOrSaysThereIsNone) {
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    const std::string programs = folder_.file("programs");
    std::filesystem::create_directory(programs);
    const std::string started = folder_.file("started");
    {
        std::ofstream script(programs + "/florence");
        // A shell builtin: the PATH of the test holds nothing else.
        script << "#!/bin/sh\n: > '" << started << "'\n";
    }
    std::filesystem::permissions(programs + "/florence", std::filesystem::perms::owner_all);
    open(kRowA);
    ::setenv("PATH", programs.c_str(), 1);
    click(FrameButton::OnScreenKeyboard);
    const QDeadlineTimer deadline(10000);
    while (!std::filesystem::exists(started) && !deadline.hasExpired()) {
        QThread::msleep(5);
    }
    EXPECT_TRUE(std::filesystem::exists(started));
    EXPECT_TRUE(prompter_.messages().empty());
    ::setenv("PATH", folder_.file("nothing").c_str(), 1);
    click(FrameButton::OnScreenKeyboard);
    ::setenv("PATH", path.c_str(), 1);
    ASSERT_EQ(prompter_.messages().size(), 1u);
    EXPECT_NE(prompter_.messages()[0].find(u"onboard"), std::u16string::npos);
}

TEST(CompositePlacement, TheFirstPositionOnTheScreenBesideTheButton) {
    const QRect screen(0, 0, 1000, 800);
    const QSize dialog(300, 200);
    struct Case {
        const char* where;
        QRect button;
        QPoint corner;
    };
    const Case cases[] = {
        {"room everywhere", {100, 100, 40, 30}, {140, 130}},
        {"near the bottom", {100, 700, 40, 30}, {140, 500}},
        {"near the right edge", {900, 100, 40, 30}, {600, 130}},
        {"bottom right corner", {900, 700, 40, 30}, {600, 500}},
        {"fits nowhere", {0, 0, 1000, 800}, {1000, 800}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(app::placeBesideButton(c.button, dialog, screen), c.corner) << c.where;
    }
}

// Laid over the main window (1010 x 590) the editor (460 x 398) fits in no
// corner beside a key in the middle rows: it slides along the key's side.
TEST(CompositePlacement, InsideTheWindowBesideTheButtonAndClearOfIt) {
    const QRegion window(0, 0, 1010, 590);
    // The window's shape without its top right corner.
    const QRegion notched = window - QRegion(900, 0, 110, 60);
    const QSize dialog(460, 398);
    struct Case {
        const char* where;
        QRegion area;
        QRect button;
        QPoint corner;
    };
    const Case cases[] = {
        {"top left key: right and below", window, {40, 100, 40, 40}, {80, 140}},
        {"bottom left key: right and above", window, {40, 500, 40, 40}, {80, 102}},
        {"top right key: left and below", window, {900, 100, 40, 40}, {440, 140}},
        {"middle row key: right of it, as low as fits", window, {100, 250, 40, 40}, {140, 192}},
        {"middle row key on the right: left of it", window, {800, 250, 40, 40}, {340, 192}},
        {"the first corner cut out of the shape", notched, {500, 20, 40, 30}, {40, 50}},
        {"no room beside it: the first corner moved in",
         QRegion(0, 0, 500, 420),
         {200, 200, 40, 40},
         {40, 22}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        const QPoint corner = app::placeBesideButtonWithin(c.button, dialog, c.area);
        EXPECT_EQ(corner, c.corner);
        if (std::string_view(c.where).starts_with("no room")) {
            continue;
        }
        const QRect placed(corner, dialog);
        EXPECT_FALSE(placed.intersects(c.button));
        EXPECT_TRUE((QRegion(placed) - c.area).isEmpty());
    }
}

TEST(CompositePlacement, OnlyWaylandPlacesWindowsItself) {
    EXPECT_TRUE(app::windowsPlaceThemselves("xcb"));
    EXPECT_TRUE(app::windowsPlaceThemselves("offscreen"));
    EXPECT_FALSE(app::windowsPlaceThemselves("wayland"));
    EXPECT_FALSE(app::windowsPlaceThemselves("wayland-egl"));
}

} // namespace
} // namespace tavrik::testing

#include "CompositeEditorTest.moc"
