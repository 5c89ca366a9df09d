#pragma once
// A button that shows a colour and lets the user choose another from its
// menu: the automatic entry gives the button's automatic colour, the other
// entry opens the colour dialog. The button reports the choice; which
// colour it shows is the owner's to say.

#include <QAbstractButton>
#include <QColor>
#include <QColorDialog>
#include <QPointer>

class QAction;
class QMenu;

namespace tavrik::ui {

class ColourButton final : public QAbstractButton {
    Q_OBJECT
public:
    ColourButton(QColor automaticColour, QWidget* parent = nullptr);

    void setColour(const QColor& colour);
    QColor colour() const { return colour_; }
    QColor automaticColour() const { return automatic_; }

    // The texts of the two menu entries.
    void setMenuTexts(const QString& automatic, const QString& more);

    QMenu* menu() const { return menu_; }
    QAction* automaticAction() const { return automaticAction_; }
    QAction* moreAction() const { return moreAction_; }
    // The colour dialog while it is open; null otherwise.
    QColorDialog* colourDialog() const { return dialog_; }

    QSize sizeHint() const override { return size(); }

signals:
    void colourChosen(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showMenu();
    void openColourDialog();

    QColor colour_;
    QColor automatic_;
    QMenu* menu_;
    QAction* automaticAction_;
    QAction* moreAction_;
    QPointer<QColorDialog> dialog_;
};

} // namespace tavrik::ui
