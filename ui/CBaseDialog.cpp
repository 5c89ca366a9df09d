#include "ui/CBaseDialog.h"

#include "ui/MaskRegion.h"
#include "ui/SkinImageCache.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace tavrik::ui {
namespace {

constexpr std::u16string_view kScreenSection = u"SCREEN";

} // namespace

CBaseDialog::CBaseDialog(std::string layoutFile, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), layout_(std::move(layoutFile)) {
    applySkin();
    setPaintedInsideMaskOnly(!masksCutWindows(QGuiApplication::platformName().toStdString()));
}

bool CBaseDialog::masksCutWindows(std::string_view platformName) {
    return !platformName.starts_with("wayland");
}

void CBaseDialog::setPaintedInsideMaskOnly(bool insideOnly) {
    insideMaskOnly_ = insideOnly;
    if (insideOnly != testAttribute(Qt::WA_TranslucentBackground)) {
        setAttribute(Qt::WA_TranslucentBackground, insideOnly);
    }
    // The skin paints every pixel it shows; outside the mask the
    // translucent background stays clear.
    setAttribute(Qt::WA_OpaquePaintEvent, !insideOnly && hasBackground());
}

void CBaseDialog::applySkin() {
    const std::u16string main = layout_.readString(kScreenSection, u"Main", u"");
    const std::u16string maskName = layout_.readString(kScreenSection, u"Mask", main);
    background_ = skinImage(layout_.imagePath(main));
    if (background_.isNull()) {
        return;
    }
    // The skin paints every pixel, so nothing is erased before painting.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(background_.size());
    maskPath_ = layout_.imagePath(maskName);
}

void CBaseDialog::prepareShape() {
    if (maskPath_.empty() || preparedShape_.valid()) {
        return;
    }
    preparedShape_ =
        std::async(std::launch::async, [path = maskPath_] { return regionFromMaskFile(path); });
}

void CBaseDialog::showEvent(QShowEvent* event) {
    // Before the window is mapped.
    applyShape();
    QDialog::showEvent(event);
}

// A missing or unreadable mask leaves the window rectangular, and so does a
// mask without a single window pixel: a window of no area could be neither
// seen nor reached. The mask is read for its shape only; the region is all
// that is kept of it.
void CBaseDialog::applyShape() {
    if (maskPath_.empty()) {
        return;
    }
    const QRegion shape =
        preparedShape_.valid() ? preparedShape_.get() : regionFromMaskFile(maskPath_);
    maskPath_.clear();
    if (!shape.isEmpty()) {
        setMask(shape);
    }
}

void CBaseDialog::paintEvent(QPaintEvent* event) {
    if (background_.isNull()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (insideMaskOnly_ && !mask().isEmpty()) {
        painter.setClipRegion(mask());
    }
    painter.drawImage(QPoint(0, 0), background_.image());
}

void CBaseDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    if (!isWindow()) {
        dragOffset_ = event->position().toPoint();
        event->accept();
        return;
    }
    if (windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

// Laid into another window, the dialog stays wholly inside it.
void CBaseDialog::mouseMoveEvent(QMouseEvent* event) {
    if (!dragOffset_ || isWindow() || parentWidget() == nullptr) {
        QDialog::mouseMoveEvent(event);
        return;
    }
    const QPoint wanted = mapToParent(event->position().toPoint()) - *dragOffset_;
    const QSize room = parentWidget()->size() - size();
    move(std::clamp(wanted.x(), 0, std::max(0, room.width())),
         std::clamp(wanted.y(), 0, std::max(0, room.height())));
    event->accept();
}

void CBaseDialog::mouseReleaseEvent(QMouseEvent* event) {
    dragOffset_.reset();
    QDialog::mouseReleaseEvent(event);
}

} // namespace tavrik::ui
