#pragma once
// The main window with a keyboard, as a person finds it once the program has
// started: stand-ins for the composite editor and the lighting editor's zone
// painting in its two seams, recording what reaches them, and a prompter
// that answers every question; and the working set's records at hand.

#include "app/keyboardpanel/CompositeEditorOpener.h"
#include "app/keyboardpanel/ZonePainting.h"
#include "app/mainwindow/CTavrikDlg.h"
#include "keyboard/AssignmentTable.h"
#include "sync/DataSets.h"
#include "tests/app/mainwindow/MainWindowFixture.h"
#include "tests/support/RecordingPorts.h"

#include <functional>
#include <vector>

namespace tavrik::testing {

class RecordingEditor final : public app::CompositeEditorOpener {
public:
    void open(const app::CompositeEditorRequest& request) override {
        requests.push_back(request);
        ++open_;
        if (whileOpen) {
            whileOpen();
        }
        --open_;
    }
    int openCount() const override { return open_ + (keptOpen ? 1 : 0); }

    std::vector<app::CompositeEditorRequest> requests;
    // Runs while the editor is open.
    std::function<void()> whileOpen;
    // An editor that stays open (count 1) without a request.
    bool keptOpen = false;

private:
    int open_ = 0;
};

class RecordingZonePainting final : public app::ZonePainting {
public:
    bool isPainting() const override { return painting; }
    void paintZone(int controlId) override { painted.push_back(controlId); }
    void leavePainting() override {
        painting = false;
        ++left;
    }
    void restoreLightingDefaults() override { ++restored; }

    bool painting = false;
    std::vector<int> painted;
    int left = 0;
    int restored = 0;
};

inline keyboard::KeyAssignment record(keyboard::AssignmentType type, std::uint32_t value,
                                      std::uint16_t tag = 0) {
    keyboard::KeyAssignment assignment;
    assignment.type = type;
    assignment.value = value;
    assignment.tag = tag;
    return assignment;
}

// A record of the working set, stored and read under its lock.
inline void store(int layer, int row, const keyboard::KeyAssignment& assignment) {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    ASSERT_TRUE(sync::workingSet().table.storeRecord(layer, row, assignment));
}

inline keyboard::KeyAssignment stored(int layer, int row) {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    return sync::workingSet().table.recordOf(layer, row).value_or(keyboard::KeyAssignment{});
}

class PanelWindowTest : public MainWindowTest {
protected:
    // Started hidden, the keyboard found and read.
    app::CTavrikDlg& startWithKeyboard() {
        app::CTavrikDlg& window = start({QStringLiteral("/Start")});
        EXPECT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
        window.setCompositeEditorOpener(&editor_);
        window.setZonePainting(&painting_);
        platform::installPrompter(&prompter_);
        return window;
    }

    RecordingEditor editor_;
    RecordingZonePainting painting_;
    RecordingPrompter prompter_;
};

} // namespace tavrik::testing
