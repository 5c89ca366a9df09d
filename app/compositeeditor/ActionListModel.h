#pragma once
// The action list of the macro editor: the selected macro's actions, one row
// each, in three columns: the key's name, its direction ("↓" for a press,
// "  ↑" for a release) and the pause after it in milliseconds. The rows are
// the editor's own copy; the macro takes them back when the list is saved.

#include "macro/ActionListEdits.h"
#include "macro/MacroRecord.h"

#include <QAbstractTableModel>
#include <optional>
#include <vector>

namespace tavrik::app {

class ActionListModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { KeyColumn = 0, DirectionColumn = 1, PauseColumn = 2, ColumnCount = 3 };

    explicit ActionListModel(QObject* parent = nullptr);

    // The column headings, from the language texts.
    void setHeadings(const QString& key, const QString& direction, const QString& pause);

    void setActions(std::vector<macro::MacroAction> actions);
    const std::vector<macro::MacroAction>& actions() const { return actions_; }

    // Inserts a recorded action after `selected` (at the end without one)
    // and returns its row; none when the list is full.
    std::optional<int> insertRecorded(std::optional<int> selected, keyboard::KeyCode key,
                                      std::uint16_t direction, std::int32_t pause);
    void removeAction(int row);
    void clearActions();
    // The row the action is at afterwards.
    int moveAction(int row, macro::ActionMove move);

    // The edits of a cell: key by its pick-list number, direction 0 or 1,
    // pause in milliseconds. Each changes the row only when the value
    // differs, and says whether it did.
    bool setKeyNumber(int row, int keyNumber);
    bool setDirection(int row, int direction);
    bool setPause(int row, std::int32_t pause);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static QString directionText(std::uint16_t direction);

signals:
    // The actions changed in any way: rows, keys, directions or pauses.
    void actionsEdited();

private:
    void rowChanged(int row);
    // When the action of `row` starts in one play of the macro.
    QString startText(int row) const;

    std::vector<macro::MacroAction> actions_;
    QString headings_[ColumnCount];
};

} // namespace tavrik::app
