#include "app/lightingpanel/UserModeList.h"

#include <QSignalBlocker>
#include <utility>

namespace tavrik::app {

UserModeList::UserModeList(QWidget* parent) : QComboBox(parent) {}

QLineEdit& UserModeList::editor() {
    if (lineEdit() == nullptr) {
        const std::optional<QString> text = pendingText_;
        const bool textHolds = text && pendingEntry_ == currentIndex();
        pendingText_.reset();
        {
            // Becoming editable is not the user's doing: nothing is reported.
            const QSignalBlocker quiet(this);
            setEditable(true);
            setInsertPolicy(QComboBox::NoInsert);
        }
        if (textHolds) {
            lineEdit()->setText(*text);
        }
        for (const auto& setUp : setUps_) {
            setUp(*lineEdit());
        }
    }
    return *lineEdit();
}

void UserModeList::whenEditorMade(std::function<void(QLineEdit&)> setUp) {
    if (lineEdit() != nullptr) {
        setUp(*lineEdit());
    }
    setUps_.push_back(std::move(setUp));
}

QString UserModeList::typedText() const {
    if (lineEdit() != nullptr) {
        return lineEdit()->text();
    }
    if (pendingText_ && pendingEntry_ == currentIndex()) {
        return *pendingText_;
    }
    return currentIndex() < 0 ? QString() : itemText(currentIndex());
}

void UserModeList::setTypedText(const QString& text) {
    if (lineEdit() != nullptr) {
        lineEdit()->setText(text);
        return;
    }
    pendingText_ = text;
    pendingEntry_ = currentIndex();
}

void UserModeList::selectEntry(int index) {
    // A line edit shows the chosen entry's text, even when it was current.
    pendingText_.reset();
    setCurrentIndex(index);
}

void UserModeList::showEvent(QShowEvent* event) {
    editor();
    QComboBox::showEvent(event);
}

} // namespace tavrik::app
