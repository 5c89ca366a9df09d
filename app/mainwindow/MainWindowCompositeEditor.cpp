#include "app/mainwindow/MainWindowCompositeEditor.h"

#include "app/compositeeditor/Tavrik_DlgComposite.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/mainwindow/CTavrikDlg.h"

namespace tavrik::app {

void MainWindowCompositeEditor::open(const CompositeEditorRequest& request) {
    window_.compositeEditor().edit(request);
}

int MainWindowCompositeEditor::openCount() const {
    const Tavrik_DlgComposite* editor = window_.compositeEditorIfMade();
    return editor != nullptr ? editor->openCount() : 0;
}

void MainWindowCompositeEditor::refreshDescriptions() {
    window_.keyboardPanel().refreshDescriptions(false);
}

std::optional<QRect> MainWindowCompositeEditor::keyButtonOnScreen(int buttonId) const {
    const ui::CPngButton* button = window_.keyboardPanel().button(buttonId);
    if (button == nullptr || !button->isVisible()) {
        return std::nullopt;
    }
    return QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
}

} // namespace tavrik::app
