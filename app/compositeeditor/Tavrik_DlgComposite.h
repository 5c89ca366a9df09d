#pragma once
// The composite editor: the dialog in which the user decides what one key of
// the keyboard does, and the program's only editor of the macro list. Four
// sections, chosen by four buttons: single key (the key sends another key),
// macro (the key plays a macro; every macro is edited there), media and
// function; a fifth button gives the key back its own function. Apply commits the edited macros
// into the working set and writes the key's assignment into the layer of the profile active on the
// keyboard; the keyboard receives both at the next Apply of the main window.
//
// One editor lives as long as the main window and opens once per click on a
// key. While it is open its open count is 1, and profile switches wait.
//
// It opens beside the key's button (CompositePlacement.h). Where the program
// cannot place windows (Wayland), it is laid over the main window instead, a
// part of it placed by the same rule, and keeps the input of the rest of the
// window while it is open, as a modal window would.

#include "app/compositeeditor/CompositeSkinImages.h"
#include "app/compositeeditor/KeyboardHooks.h"
#include "app/keyboardpanel/CompositeEditorOpener.h"
#include "keyboard/AssignmentTable.h"
#include "ui/CBaseDialog.h"

#include <QPointer>
#include <array>
#include <cstdint>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;

namespace tavrik::ui {
class CPngButton;
}

namespace tavrik::app {

class CompositePanelPort;
class MacroSection;

class Tavrik_DlgComposite final : public ui::CBaseDialog, public KeyboardHookTarget {
    Q_OBJECT
public:
    // The buttons of the frame, outside the sections.
    enum class FrameButton {
        Title,
        OnScreenKeyboard,
        Default,
        Key,
        Macro,
        Media,
        Function,
        Ok,
        Cancel
    };

    // The id of G9, the key the macro button edits: opened for it, the editor
    // edits macros only.
    static constexpr int kMacroKeyButtonId = 1143;

    // Reads "Skins/Composite.ini" of the path set. Laid over `parent` where
    // windows cannot be placed.
    explicit Tavrik_DlgComposite(CompositePanelPort& panel, QWidget* parent = nullptr);
    ~Tavrik_DlgComposite() override;

    // Makes the editor a part of its parent window, laid over it, rather
    // than a window of its own; before it first opens.
    void layOverParent();
    bool isLaidOverParent() const { return !isWindow(); }

    // Opens the editor for the key of the request (its row, the page whose
    // 512 rows are added, the id of its button, the macro button flag) and
    // shows it, modal, without waiting; nothing while it is open already.
    void begin(const CompositeEditorRequest& request);
    // Opens it and returns when it has closed; at once while it is open.
    int edit(const CompositeEditorRequest& request);

    // The editor's Apply; false when the keyboard could not tell its active
    // profile ("No Use!") and nothing was applied.
    bool apply();

    int openCount() const { return openCount_; }
    bool isModified() const { return modified_; }
    keyboard::AssignmentType mode() const { return mode_; }
    keyboard::KeyCode singleKey() const { return singleKey_; }
    bool isMacroOnly() const { return macroOnly_; }
    // "Key settings — A": the key it edits; "Macro editor" for macros only.
    QString title() const;
    const CompositeEditorRequest& request() const { return request_; }

    MacroSection& macroSection() const { return *macroSection_; }
    KeyboardHooks& hooks() { return hooks_; }
    QLineEdit& keyField() const { return *keyField_; }
    QComboBox& mediaList() const { return *mediaList_; }
    QComboBox& functionList() const { return *functionList_; }
    ui::CPngButton& frameButton(FrameButton which) const;

    // KeyboardHookTarget.
    void addRecordedAction(std::int32_t pause, keyboard::KeyCode key, std::uint16_t direction,
                           bool synthetic) override;
    void takeSingleKey(keyboard::KeyCode key) override;

    bool eventFilter(QObject* watched, QEvent* event) override;

protected:
    void done(int result) override;

private:
    // Construction, once for the life of the editor.
    void createFrame();
    void createKeySection();
    void createListSection(QComboBox*& list, QLabel*& label, std::u16string_view listKey,
                           std::u16string_view labelKey);
    void connectFrame();

    // Opening, in its order.
    void loadTexts();
    void loadRecordPausesOption();
    void fillLists();
    void readKey();
    void applyMacroOnlyLook();
    void placeBesideKey();
    void placeOverParent(const std::optional<QRect>& buttonOnScreen);
    bool isInside(const QWidget* widget) const;

    void showSection(bool initial);
    void showMacroSection(bool initial);
    void showListSection(QComboBox& list, bool initial);
    void chooseSection(keyboard::AssignmentType mode);
    void restoreDefault();
    void openOnScreenKeyboard();
    void setSectionLooks();
    void setModified() { modified_ = true; }
    void closeEditor();

    CompositePanelPort& panel_;
    CompositeSkinImages images_;
    KeyboardHooks hooks_;
    CompositeEditorRequest request_;
    bool macroOnly_ = false;
    keyboard::AssignmentType mode_ = keyboard::AssignmentType::Default;
    keyboard::KeyCode singleKey_ = 0;
    std::uint32_t storedValue_ = 0;
    bool firstMacroSwitch_ = true;
    int openCount_ = 0;
    bool modified_ = false;
    bool open_ = false;

    std::array<ui::CPngButton*, 9> frame_{};
    ui::CPngButton* sectionArea_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* keyLabel_ = nullptr;
    QLineEdit* keyField_ = nullptr;
    QLabel* mediaLabel_ = nullptr;
    QComboBox* mediaList_ = nullptr;
    QLabel* functionLabel_ = nullptr;
    QComboBox* functionList_ = nullptr;
    MacroSection* macroSection_ = nullptr;
};

} // namespace tavrik::app
