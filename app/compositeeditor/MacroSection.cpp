#include "app/compositeeditor/MacroSection.h"

#include "app/compositeeditor/ActionCellDelegate.h"
#include "app/compositeeditor/ActionListModel.h"
#include "app/compositeeditor/KeyboardHooks.h"
#include "app/compositeeditor/MacroTimelineView.h"
#include "app/compositeeditor/RecordPausesOption.h"
#include "app/shared/SkinFont.h"
#include "macro/CyclesText.h"
#include "platform/Ports.h"
#include "sync/KeyAssignmentEdit.h"
#include "sync/MacroStore.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"
#include "ui/CIniFile.h"
#include "ui/CPngButton.h"
#include "ui/LanguageQText.h"
#include "ui/SkinPlacement.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>

namespace tavrik::app {
namespace {

using ui::languageQString;

struct ButtonPlace {
    MacroSection::Button button;
    std::u16string_view skinKey;
    const char* caption; // language key; none for the glyph buttons
};

constexpr ButtonPlace kButtons[] = {
    {MacroSection::Button::Add, u"FUNC_MACRO_ADD", nullptr},
    {MacroSection::Button::Delete, u"FUNC_MACRO_DELETE", nullptr},
    {MacroSection::Button::Record, u"FUNC_MACRO_RECORD", "A_RECORD"},
    {MacroSection::Button::DeleteAction, u"FUNC_MACRO_DELETE2", "A_DELETE"},
    {MacroSection::Button::Clear, u"FUNC_MACRO_CLEAR", "A_CLEAR"},
    {MacroSection::Button::Top, u"FUNC_MACRO_UP_TOP", "A_TOP"},
    {MacroSection::Button::Up, u"FUNC_MACRO_UP", "A_UP"},
    {MacroSection::Button::Down, u"FUNC_MACRO_DOWN", "A_DOWN"},
    {MacroSection::Button::Bottom, u"FUNC_MACRO_DOWN_BOTTOM", "A_BOTTOM"},
};

// The buttons that work on the selected macro's actions.
constexpr MacroSection::Button kActionButtons[] = {
    MacroSection::Button::Record, MacroSection::Button::DeleteAction, MacroSection::Button::Clear,
    MacroSection::Button::Top,    MacroSection::Button::Up,           MacroSection::Button::Down,
    MacroSection::Button::Bottom,
};

constexpr int kColumnWidths[] = {70, 60, 70};
constexpr int kRowHeight = 20;

// Each column at least as wide as its heading needs, which depends on the
// language and the font.
void fitColumnsToHeadings(QTableView& list) {
    const QHeaderView* header = list.horizontalHeader();
    for (int column = 0; column < ActionListModel::ColumnCount; ++column) {
        list.setColumnWidth(column,
                            std::max(kColumnWidths[column], header->sectionSizeHint(column)));
    }
}

std::size_t slot(MacroSection::Button button) {
    return static_cast<std::size_t>(button);
}

} // namespace

MacroSection::MacroSection(QWidget& dialog, const ui::CIniFile& layout,
                           const CompositeSkinImages& images, KeyboardHooks& hooks)
    : QObject(&dialog), hooks_(hooks) {
    createControls(dialog, layout, images);
    createActionList(dialog, layout);
    connectControls();
    updateButtons();
}

void MacroSection::createControls(QWidget& dialog, const ui::CIniFile& layout,
                                  const CompositeSkinImages& images) {
    const auto label = [&](std::u16string_view key) {
        auto* text = new QLabel(&dialog);
        ui::placeControl(*text, layout, key);
        controls_.push_back(text);
        return text;
    };
    nameLabel_ = label(u"MARCO_NAME_SETTING");
    cyclesLabel_ = label(u"FUNC_MACRO_CYCLES_PROMPT");
    recordPausesLabel_ = label(u"FUNC_MACRO_RECORD_DELAY2");

    selector_ = new QComboBox(&dialog);
    selector_->setEditable(true);
    selector_->setInsertPolicy(QComboBox::NoInsert);
    // Typing renames the shown macro; a completion would rename it after another.
    selector_->setCompleter(nullptr);
    selector_->lineEdit()->setMaxLength(static_cast<int>(macro::kMaxNameLength));
    ui::placeControl(*selector_, layout, u"FUNC_MACRO_LIST");
    controls_.push_back(selector_);

    cycles_ = new QLineEdit(QStringLiteral("1"), &dialog);
    ui::placeControl(*cycles_, layout, u"FUNC_MACRO_CYCLES");
    controls_.push_back(cycles_);

    recordPausesBox_ = new QCheckBox(&dialog);
    ui::placeControl(*recordPausesBox_, layout, u"FUNC_MACRO_RECORD_DELAY");
    controls_.push_back(recordPausesBox_);

    for (const ButtonPlace& place : kButtons) {
        auto* button = new ui::CPngButton(&dialog);
        ui::placeImageButton(*button, layout, place.skinKey, images.macro);
        buttons_[slot(place.button)] = button;
        controls_.push_back(button);
    }
    buttons_[slot(Button::Record)]->setCheckable(true);

    timeline_ = new MacroTimelineView(&dialog);
    ui::placeControl(*timeline_, layout, u"FUNC_MACRO_TIMELINE");
    // A skin without a place for the timeline does without it.
    if (ui::isSkinPlaced(*timeline_)) {
        controls_.push_back(timeline_);
    } else {
        timeline_->hide();
    }
}

void MacroSection::createActionList(QWidget& dialog, const ui::CIniFile& layout) {
    model_ = new ActionListModel(this);
    delegate_ = new ActionCellDelegate(*model_, this);
    actionList_ = new QTableView(&dialog);
    actionList_->setModel(model_);
    actionList_->setItemDelegate(delegate_);
    actionList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    actionList_->setSelectionMode(QAbstractItemView::SingleSelection);
    actionList_->setEditTriggers(QAbstractItemView::SelectedClicked |
                                 QAbstractItemView::DoubleClicked |
                                 QAbstractItemView::EditKeyPressed);
    actionList_->setShowGrid(false);
    actionList_->setWordWrap(false);
    actionList_->verticalHeader()->hide();
    actionList_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    QHeaderView* header = actionList_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < ActionListModel::ColumnCount; ++column) {
        actionList_->setColumnWidth(column, kColumnWidths[column]);
    }
    ui::placeControl(*actionList_, layout, u"FUNC_MACRO_LIST2");
    controls_.push_back(actionList_);
}

void MacroSection::connectControls() {
    connect(selector_, &QComboBox::activated, this, &MacroSection::userSelected);
    connect(selector_->lineEdit(), &QLineEdit::textEdited, this, &MacroSection::nameTyped);
    connect(cycles_, &QLineEdit::textEdited, this, &MacroSection::cyclesTyped);
    connect(recordPausesBox_, &QCheckBox::clicked, this, &MacroSection::toggleRecordPauses);
    connect(model_, &ActionListModel::actionsEdited, this, [this] {
        refreshTimeline();
        emit modified();
    });
    connect(actionList_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &MacroSection::refreshTimeline);
    connect(delegate_, &ActionCellDelegate::pauseEditStarting, this, &MacroSection::stopRecording);
    const auto onClick = [this](Button which, auto action) {
        connect(buttons_[slot(which)], &QAbstractButton::clicked, this, action);
    };
    onClick(Button::Add, [this] { addMacro(); });
    onClick(Button::Delete, [this] { deleteMacro(); });
    onClick(Button::Record, [this] { recording_ ? stopRecording() : startRecording(); });
    onClick(Button::DeleteAction, [this] { deleteAction(); });
    onClick(Button::Clear, [this] { clearActions(); });
    onClick(Button::Top, [this] { moveAction(macro::ActionMove::Top); });
    onClick(Button::Up, [this] { moveAction(macro::ActionMove::Up); });
    onClick(Button::Down, [this] { moveAction(macro::ActionMove::Down); });
    onClick(Button::Bottom, [this] { moveAction(macro::ActionMove::Bottom); });
}

void MacroSection::loadTexts() {
    for (const ButtonPlace& place : kButtons) {
        if (place.caption != nullptr) {
            setSkinCaption(*buttons_[slot(place.button)], languageQString(place.caption));
        }
    }
    nameLabel_->setText(languageQString("MACRO_NAME_SETTING"));
    cyclesLabel_->setText(languageQString("MACRO_CYCLES"));
    recordPausesLabel_->setText(languageQString("RECORD_DELAY"));
    model_->setHeadings(languageQString("MACRO_KEYS_TISHI"), languageQString("MACRO_ACTION_TISHI"),
                        languageQString("MACRO_DELAY_MS"));
    fitColumnsToHeadings(*actionList_);
}

void MacroSection::setShown(bool shown) {
    for (QWidget* control : controls_) {
        control->setVisible(shown);
    }
}

ui::CPngButton& MacroSection::button(Button which) const {
    return *buttons_[slot(which)];
}

// The copies.

void MacroSection::fillSelector() {
    clearSection();
    copies_ = sync::macroCopies();
    selectorBusy_ = true;
    for (const macro::MacroRecord& copy : copies_) {
        selector_->addItem(ui::qText(copy.name()));
    }
    selector_->setCurrentIndex(-1);
    selectorBusy_ = false;
    selected_ = -1;
    updateButtons();
}

void MacroSection::setSelectorEntry(int index) {
    selectorBusy_ = true;
    selector_->setCurrentIndex(index);
    selectorBusy_ = false;
}

void MacroSection::selectMacro(int index) {
    selected_ = index >= 0 && index < static_cast<int>(copies_.size()) ? index : -1;
    setSelectorEntry(selected_);
}

void MacroSection::loadSelectedMacro() {
    if (selected_ >= 0) {
        const macro::MacroRecord& record = copies_[static_cast<std::size_t>(selected_)];
        cycles_->setText(ui::qText(macro::cyclesText(
            std::clamp<int>(record.cycles(), macro::kMinCycles, macro::kMaxCycles))));
        model_->setActions(record.actions());
    } else {
        model_->setActions({});
    }
    updateButtons();
    refreshTimeline();
}

void MacroSection::saveActionList(int index) {
    if (index < 0 || index >= static_cast<int>(copies_.size())) {
        return;
    }
    macro::MacroRecord& record = copies_[static_cast<std::size_t>(index)];
    record.setCycles(static_cast<std::uint8_t>(cycles()));
    record.setActions(model_->actions());
}

void MacroSection::clearSection() {
    // The edits go with the copies.
    delegate_->discardOpenEditor();
    model_->setActions({});
    selectorBusy_ = true;
    selector_->clear();
    selectorBusy_ = false;
    copies_.clear();
    selected_ = -1;
    updateButtons();
    refreshTimeline();
}

void MacroSection::clearNewFlags() {
    for (macro::MacroRecord& copy : copies_) {
        copy.setNewFlag(0);
    }
}

std::optional<int> MacroSection::indexOfId(std::uint16_t id) const {
    for (std::size_t i = 0; i < copies_.size(); ++i) {
        if (copies_[i].id() == id) {
            return static_cast<int>(i);
        }
    }
    return std::nullopt;
}

std::uint16_t MacroSection::cycles() const {
    return static_cast<std::uint16_t>(macro::cyclesOfText(cycles_->text().toStdU16String()));
}

void MacroSection::setCyclesText(const QString& text) {
    cycles_->setText(text);
}

// The selector.

void MacroSection::userSelected(int index) {
    if (selected_ >= 0) {
        saveActionList(selected_);
    }
    selected_ = index;
    if (!selectorBusy_) {
        loadSelectedMacro();
    }
}

void MacroSection::nameTyped(const QString& text) {
    if (!copies_.empty() && selected_ >= 0) {
        copies_[static_cast<std::size_t>(selected_)].setName(text.toStdU16String());
        QLineEdit* field = selector_->lineEdit();
        const int cursor = field->cursorPosition();
        selectorBusy_ = true;
        selector_->setItemText(selected_, text);
        selectorBusy_ = false;
        field->setCursorPosition(cursor);
        emit modified();
        return;
    }
    if (!copies_.empty()) {
        return;
    }
    std::optional<macro::MacroRecord> record =
        macro::createMacroRecord(text.toStdU16String(), copies_);
    if (!record) {
        return;
    }
    copies_.insert(copies_.begin(), *record);
    selectorBusy_ = true;
    selector_->insertItem(0, text);
    selector_->setCurrentIndex(0);
    selectorBusy_ = false;
    selected_ = 0;
    loadSelectedMacro();
    emit modified();
}

void MacroSection::addMacro() {
    if (copies_.size() >= macro::kMaxMacros) {
        platform::prompter().showMessage(text::formatWithInteger(
            text::languageText("MACRO_ERR_MAX"), static_cast<std::int64_t>(macro::kMaxMacros)));
        return;
    }
    const std::u16string name = nameCounter_.nextName(copies_);
    std::optional<macro::MacroRecord> record = macro::createMacroRecord(name, copies_);
    if (!record) {
        return;
    }
    saveActionList(selected_);
    copies_.push_back(*record);
    selectorBusy_ = true;
    selector_->addItem(ui::qText(name));
    selectorBusy_ = false;
    selectMacro(static_cast<int>(copies_.size()) - 1);
    loadSelectedMacro();
    emit modified();
}

void MacroSection::deleteMacro() {
    if (copies_.empty() || selected_ < 0) {
        return;
    }
    if (!sync::confirmMacroDeletion(copies_[static_cast<std::size_t>(selected_)])) {
        return;
    }
    const int deleted = selected_;
    copies_.erase(copies_.begin() + deleted);
    selectorBusy_ = true;
    selector_->removeItem(deleted);
    selectorBusy_ = false;
    selectMacro(copies_.empty() ? -1 : std::max(0, deleted - 1));
    loadSelectedMacro();
    emit modified();
}

// The cycles field and the option.

void MacroSection::cyclesTyped(const QString& text) {
    if (const std::optional<std::u16string> corrected =
            macro::correctedCyclesText(text.toStdU16String())) {
        cycles_->setText(ui::qText(*corrected));
        // The next digit typed replaces the correction.
        cycles_->selectAll();
    }
    refreshTimeline();
    emit modified();
}

void MacroSection::setRecordPauses(int option) {
    recordPauses_ = option;
    recordPausesBox_->setChecked(option == 1);
}

void MacroSection::toggleRecordPauses() {
    setRecordPauses(saveRecordPauses(recordPauses_ == 1 ? 0 : 1));
}

// Recording.

void MacroSection::startRecording() {
    if (!recording_ && selected_ >= 0) {
        setRecording(true);
    }
}

void MacroSection::stopRecording() {
    if (recording_) {
        setRecording(false);
    }
}

void MacroSection::setRecording(bool recording) {
    recording_ = recording;
    ui::CPngButton& record = button(Button::Record);
    setSkinCaption(record,
                   languageQString(recording ? "MACRO_ACTION_STOP_RECORD" : "MACRO_ACTION_RECORD"));
    record.setChecked(recording);
    updateButtons();
    if (recording) {
        hooks_.startRecording();
    } else {
        hooks_.stopRecording();
    }
}

void MacroSection::addRecordedAction(std::int32_t pause, keyboard::KeyCode key,
                                     std::uint16_t direction) {
    const std::optional<int> row = model_->insertRecorded(
        selectedAction(), key, direction, macro::recordedPause(pause, recordPauses_ == 1));
    if (row) {
        selectAction(*row);
    }
}

// The action list.

std::optional<int> MacroSection::selectedAction() const {
    const QModelIndexList rows = actionList_->selectionModel()->selectedRows();
    if (rows.isEmpty()) {
        return std::nullopt;
    }
    return rows.front().row();
}

void MacroSection::selectAction(int row) {
    const QModelIndex index = model_->index(row, 0);
    actionList_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                              QItemSelectionModel::Rows);
    actionList_->scrollTo(index);
}

void MacroSection::deleteAction() {
    const std::optional<int> row = selectedAction();
    if (!row) {
        return;
    }
    model_->removeAction(*row);
    if (model_->rowCount() > 0) {
        selectAction(std::min(*row, model_->rowCount() - 1));
    }
}

void MacroSection::clearActions() {
    if (model_->rowCount() == 0) {
        return;
    }
    if (platform::prompter().askYesNo(text::languageText("MACRO_ACTION_CLEAR_CONFIRM"), false)) {
        model_->clearActions();
    }
}

void MacroSection::moveAction(macro::ActionMove move) {
    const std::optional<int> row = selectedAction();
    if (!row) {
        return;
    }
    selectAction(model_->moveAction(*row, move));
    actionList_->setFocus();
}

void MacroSection::commitOpenEdit() {
    delegate_->commitOpenEditor();
}

const QWidget* MacroSection::openCellEditor() const {
    return delegate_->openEditor();
}

// Looks.

void MacroSection::setButtonUsable(Button which, bool usable) {
    ui::CPngButton& control = button(which);
    control.setEnabled(usable && ui::isSkinPlaced(control));
}

void MacroSection::updateButtons() {
    for (const Button which : kActionButtons) {
        setButtonUsable(which, selected_ >= 0);
    }
    setButtonUsable(Button::Add, !recording_);
    setButtonUsable(Button::Delete, !recording_);
    selector_->setEnabled(!recording_);
}

void MacroSection::refreshTimeline() {
    if (selected_ < 0) {
        timeline_->clear();
        return;
    }
    timeline_->showMacro(model_->actions(), cycles(), selectedAction());
}

} // namespace tavrik::app
