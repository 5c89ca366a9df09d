#pragma once
// The composite editor in the test process: the real service library with a
// virtual keyboard, a copy of the program's Skins folder, the settings store
// in the test's folder, recording ports, and a panel that records what the
// editor asks of it.

#include "app/compositeeditor/ActionListModel.h"
#include "app/compositeeditor/CompositePanelPort.h"
#include "app/compositeeditor/MacroSection.h"
#include "app/compositeeditor/Tavrik_DlgComposite.h"
#include "device/Commands.h"
#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "sync/DataSets.h"
#include "tests/support/GuiTestApplication.h"
#include "tests/support/RecordingPorts.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/VirtualKeyboardSession.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"
#include "ui/CPngButton.h"
#include "ui/SkinImageCache.h"

#include <QApplication>
#include <QKeyEvent>
#include <QSettings>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace tavrik::testing {

class RecordingPanel final : public app::CompositePanelPort {
public:
    void refreshDescriptions() override { ++refreshes; }
    std::optional<QRect> keyButtonOnScreen(int) const override { return button; }

    int refreshes = 0;
    std::optional<QRect> button;
};

// XKB keycodes (Linux input code + 8) of the keys the tests press.
namespace xkb {
constexpr quint32 A = 38;
constexpr quint32 B = 56;
constexpr quint32 LeftShift = 50;
constexpr quint32 Menu = 135;
constexpr quint32 PlayPause = 172;
constexpr quint32 Return = 36;
constexpr quint32 Escape = 9;
} // namespace xkb

class CompositeEditorTest : public ::testing::Test {
protected:
    using Button = app::MacroSection::Button;
    using FrameButton = app::Tavrik_DlgComposite::FrameButton;

    void SetUp() override {
        namespace fs = std::filesystem;
        fs::create_directory(folder_.file("bin"));
        fs::copy(std::string(TAVRIK_BIN_DIR) + "/Skins", folder_.file("bin/Skins"),
                 fs::copy_options::recursive);
        platform::installPathSet(
            platform::buildPathSet(folder_.file("bin/tavrik"), folder_.file("Documents")));
        text::loadLanguageTexts(platform::pathSet().languageFile);
        QCoreApplication::setOrganizationName(QStringLiteral("Tavrik_Lumora"));
        QCoreApplication::setApplicationName(QStringLiteral("Tavrik"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(folder_.file("config")));
        platform::installMainWindowPort(&window_);
        platform::installPrompter(&prompter_);
        sync::resetDataSets();
        ASSERT_TRUE(keyboard_.start());
        editor_ = std::make_unique<app::Tavrik_DlgComposite>(panel_);
        editor_->hooks().setTickSource([this] { return tick_; });
    }

    void TearDown() override {
        editor_.reset();
        keyboard_.stop();
        sync::resetDataSets();
        device::setCachedActiveProfile(-1);
        platform::resetPorts();
        platform::resetPathSet();
        text::resetLanguageTexts();
        ui::clearSkinImages();
    }

    app::Tavrik_DlgComposite& open(int row, int buttonId = 1058, bool macroButton = false) {
        editor_->begin({row, 0, buttonId, macroButton});
        return *editor_;
    }

    app::MacroSection& section() { return editor_->macroSection(); }
    app::ActionListModel& actions() { return section().actions(); }

    static void store(int layer, int row, const keyboard::KeyAssignment& record) {
        const sync::DataSetLock lock = sync::lockWorkingSet();
        sync::workingSet().table.storeRecord(layer, row, record);
    }
    static keyboard::KeyAssignment recordAt(int layer, int row) {
        const sync::DataSetLock lock = sync::lockWorkingSet();
        return *sync::workingSet().table.recordOf(layer, row);
    }
    static void setMacros(macro::MacroList macros) {
        const sync::DataSetLock lock = sync::lockWorkingSet();
        sync::workingSet().macros = std::move(macros);
    }
    static macro::MacroList workingMacros() {
        const sync::DataSetLock lock = sync::lockWorkingSet();
        return sync::workingSet().macros;
    }
    static macro::MacroRecord macroOf(std::uint16_t id, std::u16string name,
                                      std::vector<macro::MacroAction> steps = {},
                                      std::uint8_t cycles = 1) {
        macro::MacroRecord record;
        record.setName(name);
        record.setId(id);
        record.setCycles(cycles);
        record.setActions(steps);
        return record;
    }

    // A key event as the desktop delivers it, at the editor's focus.
    // `timestamp`: the desktop's time of the event, 0 for none.
    void key(quint32 xkbKeycode, int qtKey, bool release, bool autoRepeat = false,
             quint64 timestamp = 0) {
        QKeyEvent event(release ? QEvent::KeyRelease : QEvent::KeyPress, qtKey, Qt::NoModifier,
                        xkbKeycode, 0, 0, QString(), autoRepeat);
        event.setTimestamp(timestamp);
        QWidget* target = QApplication::focusWidget();
        QApplication::sendEvent(target != nullptr && target->window() == editor_.get()
                                    ? target
                                    : static_cast<QWidget*>(editor_.get()),
                                &event);
    }
    void tap(quint32 xkbKeycode, int qtKey) {
        key(xkbKeycode, qtKey, false);
        key(xkbKeycode, qtKey, true);
    }

    void click(Button which) { section().button(which).click(); }
    void click(FrameButton which) { editor_->frameButton(which).click(); }

    TemporaryFolder folder_;
    VirtualKeyboardSession keyboard_{folder_};
    RecordingWindow window_;
    RecordingPrompter prompter_;
    RecordingPanel panel_;
    std::uint32_t tick_ = 0;
    std::unique_ptr<app::Tavrik_DlgComposite> editor_;
};

} // namespace tavrik::testing
