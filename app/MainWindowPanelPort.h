#pragma once
// The composite editor's view of the main window's on-screen keyboard.

#include "app/CompositePanelPort.h"
#include "ui/CPngButton.h"

namespace tavrik::app {

class KeyboardPanel;

class MainWindowPanelPort final : public CompositePanelPort {
public:
    // `normalLook` is the image set of a key that is not being edited.
    MainWindowPanelPort(KeyboardPanel& panel, ui::ButtonImages normalLook)
        : panel_(panel), normalLook_(std::move(normalLook)) {}

    void refreshDescriptions() override;
    void endKeyEdit(int buttonId) override;
    std::optional<QRect> keyButtonOnScreen(int buttonId) const override;

private:
    KeyboardPanel& panel_;
    ui::ButtonImages normalLook_;
};

} // namespace tavrik::app
