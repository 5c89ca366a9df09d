#include "app/MainWindowPanelPort.h"

#include "app/KeyboardPanel.h"

namespace tavrik::app {

void MainWindowPanelPort::refreshDescriptions() {
    panel_.refreshKeyButtons();
}

void MainWindowPanelPort::endKeyEdit(int buttonId) {
    if (ui::CPngButton* button = panel_.button(buttonId)) {
        button->setImages(normalLook_, button->imageOrigin());
    }
}

std::optional<QRect> MainWindowPanelPort::keyButtonOnScreen(int buttonId) const {
    const ui::CPngButton* button = panel_.button(buttonId);
    if (button == nullptr || !button->isVisible()) {
        return std::nullopt;
    }
    return QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
}

} // namespace tavrik::app
