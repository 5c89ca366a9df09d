#include "ui/LanguageMenu.h"

#include "platform/WindowMessage.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"

#include <utility>

namespace tavrik::ui {

LanguageMenu::LanguageMenu(std::span<const LanguageMenuItem> items, std::string languageFile,
                           QWidget* parent)
    : QMenu(parent), items_(items.begin(), items.end()), languageFile_(std::move(languageFile)) {
    for (const LanguageMenuItem& item : items_) {
        QAction* action = addAction(QStringLiteral(" "));
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
    const QList<QAction*> menuActions = actions();
    for (qsizetype i = 0; i < menuActions.size(); ++i) {
        menuActions[i]->setText(QString::fromStdU16String(
            text::languageText(items_[static_cast<std::size_t>(i)].textKey)));
    }
}

} // namespace tavrik::ui
