#pragma once
// The profile manager, opened modally by the main window's current-profile
// button: a list with one row per profile file (name, folder), of which at
// most one is checked as the keyboard's active profile; Add creates a new
// default profile file, Load adds an existing one, Delete removes the
// selected row; Apply stores the list in the settings store (ProfileList.h),
// makes the checked row's profile active on the keyboard and reloads
// everything from the keyboard; OK applies and closes, Cancel closes. F1
// opens the help. A close request from outside closes it as Cancel does.
//
// Rows 0, 1 and 2 stand for the keyboard's profiles 1, 2 and 3. Opened
// without a stored list, the dialog shows those three rows, each naming the
// working file; with one, it shows the stored rows. A row below the third
// names a file but cannot be checked: the check is refused with the message
// PROFILE_ROW_NOT_ACTIVE.
//
// Profile switching reads the process-wide open count and modified flag.

#include "ui/CBaseDialog.h"
#include "ui/CPngButton.h"

#include <map>
#include <string>

class QTableWidget;
class QTableWidgetItem;

namespace tavrik::app {

class CTavrik_DlgProfile final : public ui::CBaseDialog {
    Q_OBJECT
public:
    static constexpr int kOkId = 1;
    static constexpr int kCancelId = 2;
    static constexpr int kListId = 1007;
    static constexpr int kLoadId = 1008;
    static constexpr int kAddId = 1010;
    static constexpr int kDeleteId = 1011;
    static constexpr int kApplyId = 1012;

    // Initialises the dialog from "Skins/Profile.ini" and fills the list. The
    // first dialog of the process loads the skin images; when one of them
    // cannot be read the process ends at once, with exit code 0.
    explicit CTavrik_DlgProfile(QWidget* parent = nullptr);
    ~CTavrik_DlgProfile() override;

    // Above 0 while a profile manager is open.
    static int openCount();
    // True while the open dialog's Apply is enabled.
    static bool isModified();
    // A switch made elsewhere: the open dialog, if any, checks the row of
    // `profile` and disables its Apply.
    static void showActiveProfile(int profile);

    QTableWidget* list() const { return list_; }
    ui::CPngButton* button(int controlId) const;
    // The checked row; -1 when none is.
    int checkedRow() const;
    // The file row `row` stands for.
    std::string rowPath(int row) const;

    // The commands of the buttons.
    void addProfile();
    void loadProfile();
    void deleteProfile();
    void applyProfiles();
    // OK: Apply, then close.
    void acceptProfiles();

    // Every way of closing ends here; the open count drops.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createList();
    void createButtons();
    void fillList();
    void appendRow(const std::string& path);
    void checkRow(int row);
    void rowChanged(QTableWidgetItem* item);
    void setApplyEnabled(bool enabled);
    void noteClosed();

    QTableWidget* list_ = nullptr;
    std::map<int, ui::CPngButton*> buttons_;
    bool filling_ = false;
    bool open_ = false;
    bool modified_ = false;
};

} // namespace tavrik::app
