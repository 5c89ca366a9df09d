#pragma once
// A menu whose item texts come from the language file when it is made and
// again each time it opens, so an edited file shows without a restart. Each
// item carries a command that goes to the owner window as a command message
// when the item is chosen.

#include <QMenu>
#include <QPointer>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::ui {

struct LanguageMenuItem {
    int command;
    std::string_view textKey; // a slot of the Menu text group, e.g. "MENU_11"
    bool checkable = false;   // shows a check mark; its owner sets it
};

// An item that stands for a separator line.
inline constexpr LanguageMenuItem kMenuSeparator{0, {}};

class LanguageMenu final : public QMenu {
    Q_OBJECT
public:
    // The items in their order, with their texts read.
    LanguageMenu(std::span<const LanguageMenuItem> items, std::string languageFile,
                 QWidget* parent = nullptr);

    // The window the commands go to; none sends nothing.
    void setOwner(QObject* owner) { owner_ = owner; }
    // Reads the texts from `path` from now on, at once too.
    void setLanguageFile(std::string path);

    // Reads the menu texts of the chosen language into the items (opening
    // the menu does this).
    void fetchTexts();

    // The item of a command; null for a command the menu does not have.
    QAction* actionOf(int command) const;

private:
    struct Entry {
        LanguageMenuItem item;
        QAction* action;
    };
    std::vector<Entry> entries_;
    std::string languageFile_;
    QPointer<QObject> owner_;
};

} // namespace tavrik::ui
