#pragma once
// "Application profiles": the rules that make the keyboard's profile follow
// the focused application. It lists the rules (the one in force marked),
// adds one by its typed id or by picking the next window that gets the
// focus, changes a rule's profile, removes one, and sets the default. Every
// change is kept through the host at once; where the host cannot keep it,
// a message says so and the dialog shows the rules as they stand.
//
// It has a skin of its own ("Skins/AppProfiles.ini", drawn by the skin
// generator): the profile manager's pictures carry that dialog's own
// buttons and English words, so this one only shares their look. Its
// captions come from the language file.

#include "ui/CBaseDialog.h"
#include "ui/CPngButton.h"

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace tavrik::app {

class ApplicationProfilesHost;
class ApplicationRules;

class ApplicationProfilesDialog final : public ui::CBaseDialog {
    Q_OBJECT
public:
    enum class Button { Add, Remove, Pick, Close };
    // The list's columns.
    static constexpr int kInForceColumn = 0;
    static constexpr int kIdColumn = 1;
    static constexpr int kProfileColumn = 2;

    explicit ApplicationProfilesDialog(ApplicationProfilesHost& host, QWidget* parent = nullptr);
    ~ApplicationProfilesDialog() override;

    QTableWidget* list() const { return list_; }
    // The profile chooser of a rule's row (Profile 1..3); null outside the list.
    QComboBox* profileChoice(int row) const;
    QLineEdit* idField() const { return idField_; }
    // The profile of the rule that Add makes.
    QComboBox* newRuleProfile() const { return newProfile_; }
    // "Leave the keyboard as it is", then profiles 1..3.
    QComboBox* defaultChoice() const { return default_; }
    QLabel* pickState() const { return pickState_; }
    QLabel* defaultInForce() const { return defaultInForce_; }
    ui::CPngButton* button(Button which) const;
    bool isPicking() const { return picking_; }

    // Shows the host's rules, default and rule in force.
    void showRules();

    // Every way of closing forgets a pick that has not come.
    void done(int result) override;

protected:
    // F1 opens the user guide, as in the other dialogs.
    void keyPressEvent(QKeyEvent* event) override;
    // Coming back to the dialog after focusing another application may have
    // put another rule in force.
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void createList();
    void createButtons();
    void addRule();
    void removeRule();
    void togglePick();
    void picked(const std::string& id);
    void endPick();
    void showInForce();
    void changeProfile(int row, int index);
    void changeDefault(int index);
    // Whether the host kept the change; the rules show as they stand.
    bool keep(const ApplicationRules& changed);

    ApplicationProfilesHost& host_;
    QTableWidget* list_ = nullptr;
    QLabel* title_ = nullptr;
    QLineEdit* idField_ = nullptr;
    QComboBox* newProfile_ = nullptr;
    QComboBox* default_ = nullptr;
    QLabel* pickState_ = nullptr;
    QLabel* defaultInForce_ = nullptr;
    std::array<ui::CPngButton*, 4> buttons_{};
    bool picking_ = false;
    bool filling_ = false;
};

} // namespace tavrik::app
