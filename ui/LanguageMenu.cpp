#include "ui/LanguageMenu.h"

#include "platform/WindowMessage.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"

#include <utility>

namespace tavrik::ui {

LanguageMenu::LanguageMenu(std::span<const LanguageMenuItem> items, std::string languageFile,
                           QWidget* parent)
    : QMenu(parent), languageFile_(std::move(languageFile)) {
    for (const LanguageMenuItem& item : items) {
        if (item.textKey.empty()) {
            addSeparator();
            continue;
        }
        QAction* action = addAction(QStringLiteral(" "));
        action->setCheckable(item.checkable);
        entries_.push_back({item, action});
        const int command = item.command;
        connect(action, &QAction::triggered, this, [this, command] {
            if (owner_) {
                platform::sendCommand(owner_, command);
            }
        });
    }
    fetchTexts();
    connect(this, &QMenu::aboutToShow, this, &LanguageMenu::fetchTexts);
}

void LanguageMenu::setLanguageFile(std::string path) {
    languageFile_ = std::move(path);
    fetchTexts();
}

void LanguageMenu::fetchTexts() {
    text::loadTextGroup(languageFile_, text::TextGroup::Menu);
    for (const Entry& entry : entries_) {
        entry.action->setText(QString::fromStdU16String(text::languageText(entry.item.textKey)));
    }
}

QAction* LanguageMenu::actionOf(int command) const {
    for (const Entry& entry : entries_) {
        if (entry.item.command == command) {
            return entry.action;
        }
    }
    return nullptr;
}

} // namespace tavrik::ui
