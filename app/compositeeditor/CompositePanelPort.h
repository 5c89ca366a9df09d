#pragma once
// What the composite editor needs of the on-screen keyboard it was opened
// from; the main window fills it in. Tests put a recorder in its place.

#include <QRect>
#include <optional>

namespace tavrik::app {

class CompositePanelPort {
public:
    virtual ~CompositePanelPort() = default;

    // The texts and marks of every key, after the editor wrote an assignment
    // (without marking the keys first).
    virtual void refreshDescriptions() = 0;
    // The key's button in screen coordinates, which the editor opens beside;
    // none when the window has no such button on the screen.
    virtual std::optional<QRect> keyButtonOnScreen(int buttonId) const = 0;
};

} // namespace tavrik::app
