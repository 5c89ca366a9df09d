#include "app/compositeeditor/ActionCellDelegate.h"

#include "app/compositeeditor/ActionListModel.h"
#include "keyboard/KeyTable.h"
#include "macro/ActionListEdits.h"
#include "platform/Ports.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"
#include "ui/LanguageQText.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace tavrik::app {
namespace {

constexpr int kKeyListRows = 20;
constexpr int kDirectionListRows = 6;

QComboBox* dropDown(QWidget* parent, int rows) {
    auto* list = new QComboBox(parent);
    list->setMaxVisibleItems(rows);
    return list;
}

} // namespace

ActionCellDelegate::ActionCellDelegate(ActionListModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

QWidget* ActionCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                          const QModelIndex& index) const {
    QWidget* editor = nullptr;
    switch (index.column()) {
    case ActionListModel::KeyColumn: {
        QComboBox* keys = dropDown(parent, kKeyListRows);
        for (std::uint16_t number = 0; number < keyboard::kPickListLength; ++number) {
            keys->addItem(ui::qText(keyboard::keyNameByNumber(number)));
        }
        editor = keys;
        break;
    }
    case ActionListModel::DirectionColumn: {
        QComboBox* directions = dropDown(parent, kDirectionListRows);
        directions->addItem(ActionListModel::directionText(macro::kPress));
        directions->addItem(ActionListModel::directionText(macro::kRelease));
        editor = directions;
        break;
    }
    default: {
        emit pauseEditStarting();
        auto* pause = new QLineEdit(parent);
        pause->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), pause));
        editor = pause;
        break;
    }
    }
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        // A choice ends the edit at once.
        connect(list, &QComboBox::activated, this, [this, list] {
            emit const_cast<ActionCellDelegate*>(this)->commitData(list);
            emit const_cast<ActionCellDelegate*>(this)->closeEditor(list);
        });
        QMetaObject::invokeMethod(list, &QComboBox::showPopup, Qt::QueuedConnection);
    }
    editor_ = editor;
    return editor;
}

void ActionCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const int value = index.data(Qt::EditRole).toInt();
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        // A key outside the pick list opens the list without a choice.
        list->setCurrentIndex(value < list->count() ? value : -1);
    } else if (auto* field = qobject_cast<QLineEdit*>(editor)) {
        field->setText(QString::number(value));
        field->selectAll();
    }
}

void ActionCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*,
                                      const QModelIndex& index) const {
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        if (list->currentIndex() < 0) {
            return;
        }
        if (index.column() == ActionListModel::KeyColumn) {
            model_.setKeyNumber(index.row(), list->currentIndex());
        } else {
            model_.setDirection(index.row(), list->currentIndex());
        }
    } else if (auto* field = qobject_cast<QLineEdit*>(editor)) {
        const macro::TypedPause typed = macro::typedPause(field->text().toStdU16String());
        if (typed.overLimit) {
            platform::prompter().showMessage(text::formatWithInteger(
                text::languageText("MACRO_ACTION_ERR_DELAY_MAX"), macro::kMaxTypedPause));
        }
        field->setText(QString::number(typed.pause));
        model_.setPause(index.row(), typed.pause);
    }
}

void ActionCellDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                              const QModelIndex&) const {
    editor->setGeometry(option.rect);
}

void ActionCellDelegate::commitOpenEditor() {
    if (editor_ == nullptr) {
        return;
    }
    QWidget* editor = editor_;
    editor_ = nullptr;
    emit commitData(editor);
    emit closeEditor(editor);
}

void ActionCellDelegate::discardOpenEditor() {
    if (editor_ == nullptr) {
        return;
    }
    QWidget* editor = editor_;
    editor_ = nullptr;
    emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

} // namespace tavrik::app
