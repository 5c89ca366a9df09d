#pragma once
// The main window's composite editor behind the two seams that join them:
// the on-screen keyboard opens it and profile switching reads its open count
// (CompositeEditorOpener), and the editor asks the keyboard for its key
// descriptions and its key's place (CompositePanelPort).

#include "app/compositeeditor/CompositePanelPort.h"
#include "app/keyboardpanel/CompositeEditorOpener.h"

namespace tavrik::app {

class CTavrikDlg;

class MainWindowCompositeEditor final : public CompositeEditorOpener, public CompositePanelPort {
public:
    explicit MainWindowCompositeEditor(CTavrikDlg& window) : window_(window) {}

    void open(const CompositeEditorRequest& request) override;
    int openCount() const override;

    void refreshDescriptions() override;
    std::optional<QRect> keyButtonOnScreen(int buttonId) const override;

private:
    CTavrikDlg& window_;
};

} // namespace tavrik::app
