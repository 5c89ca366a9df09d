#pragma once
// The macro section of the composite editor: the selector of all macros with
// add, delete and rename, the action list of the selected macro with its
// in-place editors and its reordering buttons, the cycles field, recording
// with its record-pauses option, and the timeline of what the keyboard will
// play. It works on private copies of the macros, which the editor copies in
// when it opens and commits on Apply.

#include "app/compositeeditor/CompositeSkinImages.h"
#include "keyboard/KeyTable.h"
#include "macro/ActionListEdits.h"
#include "macro/MacroList.h"
#include "macro/MacroRecord.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QWidget;

namespace tavrik::ui {
class CIniFile;
class CPngButton;
} // namespace tavrik::ui

namespace tavrik::app {

class ActionCellDelegate;
class ActionListModel;
class KeyboardHooks;
class MacroTimelineView;

class MacroSection final : public QObject {
    Q_OBJECT
public:
    // The section's buttons.
    enum class Button { Add, Delete, Record, DeleteAction, Clear, Top, Up, Down, Bottom };

    MacroSection(QWidget& dialog, const ui::CIniFile& layout, const CompositeSkinImages& images,
                 KeyboardHooks& hooks);

    // Texts of the controls, from the language texts (read when the editor
    // initialises).
    void loadTexts();
    void setShown(bool shown);

    // The working set's macros become the copies; nothing is selected.
    void fillSelector();
    // Selects the entry at `index` (none for an empty selector or -1).
    void selectMacro(int index);
    // The rows and cycles of the selected macro; the action buttons follow.
    void loadSelectedMacro();
    // Cycles and rows go back into the macro at `index`.
    void saveActionList(int index);
    // Rows, entries and copies go; the name counter stays.
    void clearSection();

    std::span<const macro::MacroRecord> copies() const { return copies_; }
    // After a commit: the copies are no longer new.
    void clearNewFlags();
    int selectedMacro() const { return selected_; }
    // Position of the first copy with the id; none when no copy has it.
    std::optional<int> indexOfId(std::uint16_t id) const;
    std::uint16_t cycles() const;
    void setCyclesText(const QString& text);

    void startRecording();
    void stopRecording();
    bool isRecording() const { return recording_; }
    // A key from the recorder; inserted after the selected action.
    void addRecordedAction(std::int32_t pause, keyboard::KeyCode key, std::uint16_t direction);
    int recordPauses() const { return recordPauses_; }
    void setRecordPauses(int option);

    // Ends an in-place edit of a cell, keeping what was typed.
    void commitOpenEdit();
    // The editor of a cell being edited; null while none is.
    const QWidget* openCellEditor() const;

    // The controls, for the editor and its tests.
    QComboBox& selector() const { return *selector_; }
    QLineEdit& cyclesField() const { return *cycles_; }
    QTableView& actionList() const { return *actionList_; }
    ActionListModel& actions() const { return *model_; }
    QCheckBox& recordPausesBox() const { return *recordPausesBox_; }
    MacroTimelineView& timeline() const { return *timeline_; }
    ui::CPngButton& button(Button which) const;
    // The selected action's row; none without one.
    std::optional<int> selectedAction() const;

    void addMacro();
    void deleteMacro();
    void deleteAction();
    void clearActions();
    void moveAction(macro::ActionMove move);

signals:
    // The macros or the list changed.
    void modified();

private:
    void createControls(QWidget& dialog, const ui::CIniFile& layout,
                        const CompositeSkinImages& images);
    void createActionList(QWidget& dialog, const ui::CIniFile& layout);
    void connectControls();
    void userSelected(int index);
    void nameTyped(const QString& text);
    void cyclesTyped(const QString& text);
    void toggleRecordPauses();
    void setRecording(bool recording);
    void updateButtons();
    void refreshTimeline();
    void selectAction(int row);
    void setButtonUsable(Button which, bool usable);
    void setSelectorEntry(int index);

    KeyboardHooks& hooks_;
    std::vector<macro::MacroRecord> copies_;
    int selected_ = -1;
    bool selectorBusy_ = false;
    bool recording_ = false;
    int recordPauses_ = 0;
    macro::MacroNameCounter nameCounter_;

    QComboBox* selector_ = nullptr;
    QLineEdit* cycles_ = nullptr;
    QTableView* actionList_ = nullptr;
    ActionListModel* model_ = nullptr;
    ActionCellDelegate* delegate_ = nullptr;
    QCheckBox* recordPausesBox_ = nullptr;
    MacroTimelineView* timeline_ = nullptr;
    std::array<ui::CPngButton*, 9> buttons_{};
    std::vector<QWidget*> controls_;
    QLabel* nameLabel_ = nullptr;
    QLabel* cyclesLabel_ = nullptr;
    QLabel* recordPausesLabel_ = nullptr;
};

} // namespace tavrik::app
