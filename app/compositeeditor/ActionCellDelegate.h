#pragma once
// The in-place editors of the action list: a drop-down of the 106 keys of
// the pick list (20 rows high) for the key, a drop-down of the two
// directions for the direction, and a digits-only field for the pause, which
// is kept at most 40000 ms (saying so when more was typed) and cut down to
// tens of milliseconds.

#include <QPointer>
#include <QStyledItemDelegate>

namespace tavrik::app {

class ActionListModel;

class ActionCellDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    ActionCellDelegate(ActionListModel& model, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // Commits and closes an editor that is open; nothing without one.
    void commitOpenEditor();
    // Closes an open editor and drops what was typed into it.
    void discardOpenEditor();
    QWidget* openEditor() const { return editor_; }

signals:
    // A pause is about to be edited (recording stops first).
    void pauseEditStarting() const;

private:
    ActionListModel& model_;
    mutable QPointer<QWidget> editor_;
};

} // namespace tavrik::app
