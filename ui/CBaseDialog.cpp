#include "ui/CBaseDialog.h"

#include "ui/MaskRegion.h"
#include "ui/SkinImageCache.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <utility>

namespace tavrik::ui {
namespace {

constexpr std::u16string_view kScreenSection = u"SCREEN";

} // namespace

CBaseDialog::CBaseDialog(std::string layoutFile, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), layout_(std::move(layoutFile)) {
    applySkin();
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
    resize(background_.size());
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
    // Before the window is mapped. A missing or unreadable mask leaves the
    // window rectangular, and so does a mask without a single window pixel:
    // a window of no area could be neither seen nor reached. The mask is read
    // for its shape only; the region is all that is kept of it.
    if (!maskPath_.empty()) {
        const QRegion shape =
            preparedShape_.valid() ? preparedShape_.get() : regionFromMaskFile(maskPath_);
        maskPath_.clear();
        if (!shape.isEmpty()) {
            setMask(shape);
        }
    }
    QDialog::showEvent(event);
}

void CBaseDialog::paintEvent(QPaintEvent* event) {
    if (background_.isNull()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), background_.image());
}

void CBaseDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && windowHandle() != nullptr) {
        windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

} // namespace tavrik::ui
