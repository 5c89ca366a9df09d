#include "ui/CBaseDialog.h"

#include "ui/SkinImageCache.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <utility>
#include <vector>

namespace tavrik::ui {
namespace {

constexpr std::u16string_view kScreenSection = u"SCREEN";

} // namespace

QRegion regionFromMask(const QImage& mask) {
    if (mask.isNull()) {
        return {};
    }
    // Alpha plays no part: only the colour decides.
    const QImage pixels = mask.convertToFormat(QImage::Format_RGB32);
    constexpr QRgb white = 0xFFFFFF;
    // Runs of window pixels, row by row; rows with the same runs as the row
    // above extend its band, which keeps the region in Qt's banded form.
    std::vector<QRect> rectangles;
    std::vector<std::pair<int, int>> bandRuns;
    std::vector<std::pair<int, int>> rowRuns;
    std::size_t bandStart = 0;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        rowRuns.clear();
        for (int x = 0; x < pixels.width();) {
            if ((row[x] & white) == white) {
                ++x;
                continue;
            }
            const int begin = x;
            while (x < pixels.width() && (row[x] & white) != white) {
                ++x;
            }
            rowRuns.emplace_back(begin, x);
        }
        if (y > 0 && rowRuns == bandRuns) {
            for (std::size_t i = bandStart; i < rectangles.size(); ++i) {
                rectangles[i].setHeight(rectangles[i].height() + 1);
            }
            continue;
        }
        bandRuns = rowRuns;
        bandStart = rectangles.size();
        for (const auto& [begin, end] : rowRuns) {
            rectangles.emplace_back(begin, y, end - begin, 1);
        }
    }
    QRegion region;
    region.setRects(rectangles.data(), static_cast<int>(rectangles.size()));
    return region;
}

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

void CBaseDialog::showEvent(QShowEvent* event) {
    // Before the window is mapped. A missing or unreadable mask leaves the
    // window rectangular, and so does a mask without a single window pixel:
    // a window of no area could be neither seen nor reached. The mask is read
    // for its shape only; the region is all that is kept of it.
    if (!maskPath_.empty()) {
        const QRegion shape = regionFromMask(QImage(QString::fromStdString(maskPath_)));
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
