#pragma once
// The lighting panel's effect list. Each choice in it is written to the
// keyboard at once, so nothing but a deliberate choice may change it: it
// takes the focus only when clicked, turns with the wheel only while it has
// the focus, and gives the focus back once an effect was chosen, so that
// typing elsewhere in the window never picks an effect by its first letter.

#include <QComboBox>

namespace tavrik::app {

class EffectListBox final : public QComboBox {
    Q_OBJECT
public:
    explicit EffectListBox(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

} // namespace tavrik::app
