#include "tools/skingen/DialogImages.h"

#include "tools/skingen/SkinStyle.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tavrik::skingen {
namespace {

constexpr int kCornerRadius = 12;
constexpr int kTitleHeight = 46;
const QColor kDecor{0x23, 0x28, 0x2e};

void drawDialogBody(QPainter& painter, QSize size) {
    painter.fillRect(QRect(QPoint(0, 0), size), style::kBodyBottom);
    QLinearGradient body(0, 0, 0, size.height());
    body.setColorAt(0, style::kBodyTop);
    body.setColorAt(1, style::kBodyBottom);
    painter.setPen(QPen(style::kPlateEdge, 1));
    painter.setBrush(body);
    painter.drawRoundedRect(QRectF(0.5, 0.5, size.width() - 1, size.height() - 1), kCornerRadius,
                            kCornerRadius);
    QPainterPath title;
    title.addRoundedRect(QRectF(1, 1, size.width() - 2, kTitleHeight + kCornerRadius),
                         kCornerRadius - 1, kCornerRadius - 1);
    painter.save();
    painter.setClipRect(QRect(0, 0, size.width(), kTitleHeight));
    painter.setPen(Qt::NoPen);
    painter.setBrush(style::kTitleBar);
    painter.drawPath(title);
    painter.restore();
    painter.fillRect(QRect(12, kTitleHeight, size.width() - 24, 1), style::kAccentDark);
}

void drawPageDecor(QPainter& painter, const QRect& area, CompositePage page) {
    // A large faint sign of the section in the free corner of the area.
    const QRectF corner(area.right() - 150, area.bottom() - 110, 130, 90);
    painter.save();
    switch (page) {
    case CompositePage::Key:
        style::drawKeyboardSign(painter, corner.adjusted(0, 10, 0, -10), kDecor, style::kPanel);
        break;
    case CompositePage::Media: {
        const QPointF c = corner.center();
        painter.setPen(QPen(kDecor, 6));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(c, 38, 38);
        style::drawGlyph(painter, QRectF(c.x() - 26, c.y() - 30, 60, 60), "right", kDecor);
        break;
    }
    case CompositePage::Function: {
        const QRectF board(corner.center().x() - 30, corner.top() + 8, 60, 76);
        painter.setPen(QPen(kDecor, 5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(board, 6, 6);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kDecor);
        painter.drawRoundedRect(QRectF(board.center().x() - 16, board.top() - 6, 32, 12), 3, 3);
        for (int line = 0; line < 3; ++line) {
            painter.drawRect(QRectF(board.left() + 12, board.top() + 22 + line * 14, 36, 5));
        }
        break;
    }
    case CompositePage::Macro:
        break;
    }
    painter.restore();
}

CompositePage pageOf(CompositeSet set) {
    switch (set) {
    case CompositeSet::Key:
        return CompositePage::Key;
    case CompositeSet::Macro:
    case CompositeSet::MacroOnly:
        return CompositePage::Macro;
    case CompositeSet::Media:
        return CompositePage::Media;
    case CompositeSet::Function:
        return CompositePage::Function;
    }
    return CompositePage::Key;
}

} // namespace

int dialogCornerRadius() {
    return kCornerRadius;
}

QImage renderCompositeImage(CompositeSet set, Look look) {
    QImage image(compositeWindowSize(), QImage::Format_RGB32);
    QPainter painter(&image);
    style::prepare(painter);
    drawDialogBody(painter, image.size());
    const ControlList controls = compositeControls();
    const CompositePage page = pageOf(set);
    // The section area is the same in every look; only the buttons on it change.
    const QRect area = facePiece(rectOf(controls, "CONTROL_MASK"));
    style::drawPanel(painter, area);
    drawPageDecor(painter, area, page);
    for (Control control : controls) {
        if (belongsToAnyPage(control.key) && !belongsToPage(control.key, page)) {
            continue;
        }
        if (set == CompositeSet::MacroOnly && control.key == "CONTROL_TITLE") {
            control.face = QStringLiteral("macro");
        }
        style::drawControlFace(painter, control, look);
    }
    return image;
}

QImage renderProfileImage(Look look) {
    QImage image(profileWindowSize(), QImage::Format_RGB32);
    QPainter painter(&image);
    style::prepare(painter);
    drawDialogBody(painter, image.size());
    style::drawWordMark(painter, QRect(16, 8, 130, 30), Look::Normal);
    const ControlList controls = profileControls();
    style::drawPanel(painter, rectOf(controls, "PROGRAM_LIST").adjusted(-4, -4, 4, 4));
    // The dialog shows its pressed image for disabled buttons too, where a
    // lit face would read as a button to press: its buttons sink and dim.
    const Look faceLook = look == Look::Down ? Look::Disabled : look;
    for (const Control& control : controls) {
        style::drawControlFace(painter, control, faceLook);
    }
    return image;
}

QImage renderAppProfilesImage(Look look) {
    QImage image(appProfilesWindowSize(), QImage::Format_RGB32);
    QPainter painter(&image);
    style::prepare(painter);
    drawDialogBody(painter, image.size());
    style::drawWordMark(painter, QRect(16, 8, 130, 30), Look::Normal);
    const ControlList controls = appProfilesControls();
    style::drawPanel(painter, rectOf(controls, "APP_LIST").adjusted(-4, -4, 4, 4));
    // A rule between the rules and the default.
    painter.fillRect(QRect(16, 327, 528, 1), style::kPanelEdge);
    const Look faceLook = look == Look::Down ? Look::Disabled : look;
    for (const Control& control : controls) {
        style::drawControlFace(painter, control, faceLook);
    }
    return image;
}

} // namespace tavrik::skingen
