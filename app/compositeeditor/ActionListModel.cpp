#include "app/compositeeditor/ActionListModel.h"

#include "keyboard/KeyTable.h"
#include "macro/MacroTimeline.h"
#include "ui/LanguageQText.h"

#include <QGuiApplication>
#include <QPalette>

namespace tavrik::app {

ActionListModel::ActionListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ActionListModel::setHeadings(const QString& key, const QString& direction,
                                  const QString& pause) {
    headings_[KeyColumn] = key;
    headings_[DirectionColumn] = direction;
    headings_[PauseColumn] = pause;
    emit headerDataChanged(Qt::Horizontal, KeyColumn, PauseColumn);
}

void ActionListModel::setActions(std::vector<macro::MacroAction> actions) {
    beginResetModel();
    actions_ = std::move(actions);
    // A direction other than release counts as a press from here on.
    for (macro::MacroAction& action : actions_) {
        if (action.direction != macro::kRelease) {
            action.direction = macro::kPress;
        }
    }
    endResetModel();
}

std::optional<int> ActionListModel::insertRecorded(std::optional<int> selected,
                                                   keyboard::KeyCode key, std::uint16_t direction,
                                                   std::int32_t pause) {
    std::optional<std::size_t> after;
    if (selected && *selected >= 0) {
        after = static_cast<std::size_t>(*selected);
    }
    std::vector<macro::MacroAction> edited = actions_;
    const std::optional<std::size_t> row =
        macro::insertRecordedAction(edited, after, key, direction, pause);
    if (!row) {
        return std::nullopt;
    }
    const int at = static_cast<int>(*row);
    beginInsertRows({}, at, at);
    actions_ = std::move(edited);
    endInsertRows();
    if (at > 0) {
        emit dataChanged(index(at - 1, PauseColumn), index(at - 1, PauseColumn));
    }
    emit actionsEdited();
    return at;
}

void ActionListModel::removeAction(int row) {
    if (row < 0 || row >= rowCount()) {
        return;
    }
    beginRemoveRows({}, row, row);
    actions_.erase(actions_.begin() + row);
    endRemoveRows();
    emit actionsEdited();
}

void ActionListModel::clearActions() {
    if (actions_.empty()) {
        return;
    }
    beginResetModel();
    actions_.clear();
    endResetModel();
    emit actionsEdited();
}

int ActionListModel::moveAction(int row, macro::ActionMove move) {
    if (row < 0 || row >= rowCount()) {
        return row;
    }
    std::vector<macro::MacroAction> moved = actions_;
    const int target =
        static_cast<int>(macro::moveAction(moved, static_cast<std::size_t>(row), move));
    if (target == row) {
        return row;
    }
    // Qt counts the destination of a move downwards before the row leaves.
    beginMoveRows({}, row, row, {}, target > row ? target + 1 : target);
    actions_ = std::move(moved);
    endMoveRows();
    emit actionsEdited();
    return target;
}

bool ActionListModel::setKeyNumber(int row, int keyNumber) {
    if (row < 0 || row >= rowCount()) {
        return false;
    }
    const keyboard::KeyCode code = keyboard::keyCodeByNumber(static_cast<std::uint16_t>(keyNumber));
    if (code == 0 || code == actions_[static_cast<std::size_t>(row)].keyCode) {
        return false;
    }
    actions_[static_cast<std::size_t>(row)].keyCode = code;
    rowChanged(row);
    return true;
}

bool ActionListModel::setDirection(int row, int direction) {
    if (row < 0 || row >= rowCount() ||
        (direction != macro::kPress && direction != macro::kRelease) ||
        actions_[static_cast<std::size_t>(row)].direction == direction) {
        return false;
    }
    actions_[static_cast<std::size_t>(row)].direction = static_cast<std::uint16_t>(direction);
    rowChanged(row);
    return true;
}

bool ActionListModel::setPause(int row, std::int32_t pause) {
    if (row < 0 || row >= rowCount() || actions_[static_cast<std::size_t>(row)].pause == pause) {
        return false;
    }
    actions_[static_cast<std::size_t>(row)].pause = pause;
    rowChanged(row);
    return true;
}

void ActionListModel::rowChanged(int row) {
    emit dataChanged(index(row, KeyColumn), index(row, PauseColumn));
    emit actionsEdited();
}

int ActionListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(actions_.size());
}

int ActionListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString ActionListModel::directionText(std::uint16_t direction) {
    return direction == macro::kRelease ? QStringLiteral("  \u2191") : QStringLiteral("\u2193");
}

QVariant ActionListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const macro::MacroAction& action = actions_[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case KeyColumn:
            return ui::qText(keyboard::keyName(action.keyCode));
        case DirectionColumn:
            return directionText(action.direction);
        default:
            return QString::number(action.pause);
        }
    case Qt::EditRole:
        switch (index.column()) {
        case KeyColumn:
            return static_cast<int>(keyboard::keyNumberOf(action.keyCode));
        case DirectionColumn:
            return static_cast<int>(action.direction);
        default:
            return action.pause;
        }
    case Qt::ForegroundRole:
        if (index.column() != PauseColumn) {
            return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        }
        return {};
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        return startText(index.row());
    default:
        return {};
    }
}

QString ActionListModel::startText(int row) const {
    const std::span<const macro::MacroAction> before(actions_.data(),
                                                     static_cast<std::size_t>(row));
    const macro::MacroTimeline timeline = macro::timelineOf(before, 1);
    return ui::languageQString("MACRO_ACTION_START")
        .replace(QStringLiteral("%1"), ui::qText(macro::secondsText(timeline.length)));
}

QVariant ActionListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return headings_[section];
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return {};
}

Qt::ItemFlags ActionListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

} // namespace tavrik::app
