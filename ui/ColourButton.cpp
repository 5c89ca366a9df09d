#include "ui/ColourButton.h"

#include <QColorDialog>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

namespace tavrik::ui {
namespace {

QIcon swatch(const QColor& colour) {
    QPixmap pixmap(16, 16);
    pixmap.fill(colour);
    QPainter painter(&pixmap);
    painter.setPen(QColor(0x55, 0x5d, 0x68));
    painter.drawRect(0, 0, 15, 15);
    return QIcon(pixmap);
}

} // namespace

ColourButton::ColourButton(QColor automaticColour, QWidget* parent)
    : QAbstractButton(parent), colour_(automaticColour), automatic_(automaticColour),
      menu_(new QMenu(this)) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    automaticAction_ = menu_->addAction(swatch(automatic_), QStringLiteral("Automatic"));
    menu_->addSeparator();
    moreAction_ = menu_->addAction(QStringLiteral("More colours..."));
    connect(automaticAction_, &QAction::triggered, this, [this] { emit colourChosen(automatic_); });
    connect(moreAction_, &QAction::triggered, this, &ColourButton::openColourDialog);
    connect(this, &QAbstractButton::clicked, this, &ColourButton::showMenu);
}

void ColourButton::setColour(const QColor& colour) {
    colour_ = colour;
    update();
}

void ColourButton::setMenuTexts(const QString& automatic, const QString& more) {
    automaticAction_->setText(automatic);
    moreAction_->setText(more);
}

void ColourButton::showMenu() {
    menu_->popup(mapToGlobal(QPoint(0, height())));
}

// The dialog is modal to the window but not a nested loop, so the window
// keeps serving the keyboard's events while it is open.
void ColourButton::openColourDialog() {
    if (dialog_ != nullptr) {
        dialog_->raise();
        return;
    }
    dialog_ = new QColorDialog(colour_, this);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog_, &QColorDialog::colorSelected, this,
            [this](const QColor& chosen) { emit colourChosen(chosen); });
    dialog_->open();
}

void ColourButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(underMouse() ? QColor(0x2b, 0xc4, 0xe8) : QColor(0x4a, 0x52, 0x5d), 1));
    painter.setBrush(QColor(0x1b, 0x1f, 0x24));
    painter.drawRoundedRect(frame, 4, 4);
    // The colour, and a small arrow that says a menu opens.
    const qreal arrowWidth = 16;
    const QRectF colourBox = frame.adjusted(4, 4, -arrowWidth - 2, -4);
    painter.setPen(QPen(QColor(0x0e, 0x11, 0x14), 1));
    painter.setBrush(colour_);
    painter.drawRoundedRect(colourBox, 2, 2);
    const QPointF tip(frame.right() - arrowWidth / 2 - 1, frame.center().y() + 3);
    const QPolygonF arrow({tip + QPointF(-4, -5), tip + QPointF(4, -5), tip});
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xd8, 0xde, 0xe6));
    painter.drawPolygon(arrow);
}

} // namespace tavrik::ui
