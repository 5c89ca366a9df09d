#include "ui/MaskRegion.h"

#include "platform/AtomicFile.h"
#include "platform/ByteOrder.h"

#include <QString>
#include <cstring>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace tavrik::ui {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kUncompressed = 0;
// Larger masks are no skin's: the file goes to the image plug-ins.
constexpr std::int32_t kLargestSide = 16384;

// Runs of window pixels, row by row; rows with the same runs as the row above
// extend its band, which keeps the region in Qt's banded form.
class RegionBuilder {
public:
    template <typename IsWindow> void addRow(int y, int width, IsWindow&& isWindow) {
        rowRuns_.clear();
        for (int x = 0; x < width;) {
            if (!isWindow(x)) {
                ++x;
                continue;
            }
            const int begin = x;
            while (x < width && isWindow(x)) {
                ++x;
            }
            rowRuns_.emplace_back(begin, x);
        }
        if (y > 0 && rowRuns_ == bandRuns_) {
            repeatRow();
            return;
        }
        bandRuns_ = rowRuns_;
        bandStart_ = rectangles_.size();
        for (const auto& [begin, end] : rowRuns_) {
            rectangles_.emplace_back(begin, y, end - begin, 1);
        }
    }

    // The next row has the same pixels as the last one added.
    void repeatRow() {
        for (std::size_t i = bandStart_; i < rectangles_.size(); ++i) {
            rectangles_[i].setHeight(rectangles_[i].height() + 1);
        }
    }

    QRegion region() const {
        QRegion region;
        region.setRects(rectangles_.data(), static_cast<int>(rectangles_.size()));
        return region;
    }

private:
    std::vector<QRect> rectangles_;
    std::vector<std::pair<int, int>> bandRuns_;
    std::vector<std::pair<int, int>> rowRuns_;
    std::size_t bandStart_ = 0;
};

// The region of an uncompressed 24- or 32-bit BMP, empty when its pixels
// are not all there; nothing for any other file, which then goes to the
// image plug-ins.
std::optional<QRegion> regionFromBmp(std::span<const std::uint8_t> bytes) {
    using platform::readI32;
    using platform::readU16;
    using platform::readU32;
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M') {
        return std::nullopt;
    }
    const std::uint8_t* info = bytes.data() + kFileHeaderSize;
    const std::uint32_t pixelOffset = readU32(bytes.data() + 10);
    const std::int32_t width = readI32(info + 4);
    const std::int32_t height = readI32(info + 8);
    const std::uint16_t bitsPerPixel = readU16(info + 14);
    if (readU32(info) < kInfoHeaderSize || readU32(info + 16) != kUncompressed ||
        (bitsPerPixel != 24 && bitsPerPixel != 32) || width <= 0 || width > kLargestSide ||
        height == 0 || height > kLargestSide || height < -kLargestSide) {
        return std::nullopt;
    }
    const bool bottomUp = height > 0;
    const int rows = bottomUp ? height : -height;
    const std::size_t pixelBytes = bitsPerPixel / 8;
    const std::size_t stride = (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    // A file cut short is damaged, not of another kind: it has no shape.
    if (pixelOffset > bytes.size() || (bytes.size() - pixelOffset) / stride < std::size_t(rows)) {
        return QRegion();
    }
    RegionBuilder builder;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * pixelBytes;
    const std::uint8_t* previous = nullptr;
    for (int y = 0; y < rows; ++y) {
        const std::size_t stored = bottomUp ? std::size_t(rows - 1 - y) : std::size_t(y);
        const std::uint8_t* row = bytes.data() + pixelOffset + stored * stride;
        // A skin's shape changes on few rows: a row like the last one is
        // not looked at pixel by pixel.
        if (previous != nullptr && std::memcmp(row, previous, rowBytes) == 0) {
            builder.repeatRow();
            continue;
        }
        previous = row;
        builder.addRow(y, width, [row, pixelBytes](int x) {
            const std::uint8_t* pixel = row + std::size_t(x) * pixelBytes;
            return (pixel[0] & pixel[1] & pixel[2]) != 0xFF;
        });
    }
    return builder.region();
}

} // namespace

QRegion regionFromMask(const QImage& mask) {
    if (mask.isNull()) {
        return {};
    }
    // Alpha plays no part: only the colour decides.
    const QImage pixels = mask.convertToFormat(QImage::Format_RGB32);
    constexpr QRgb white = 0xFFFFFF;
    RegionBuilder builder;
    const auto rowBytes = static_cast<std::size_t>(pixels.width()) * sizeof(QRgb);
    const uchar* previous = nullptr;
    for (int y = 0; y < pixels.height(); ++y) {
        const uchar* line = pixels.constScanLine(y);
        if (previous != nullptr && std::memcmp(line, previous, rowBytes) == 0) {
            builder.repeatRow();
            continue;
        }
        previous = line;
        const auto* row = reinterpret_cast<const QRgb*>(line);
        builder.addRow(y, pixels.width(), [row](int x) { return (row[x] & white) != white; });
    }
    return builder.region();
}

QRegion regionFromMaskFile(const std::string& path) {
    std::string contents;
    if (!platform::readWholeFile(path, contents)) {
        return {};
    }
    const std::span<const std::uint8_t> bytes(
        reinterpret_cast<const std::uint8_t*>(contents.data()), contents.size());
    if (std::optional<QRegion> region = regionFromBmp(bytes)) {
        return *region;
    }
    return regionFromMask(QImage::fromData(bytes.data(), static_cast<int>(bytes.size())));
}

} // namespace tavrik::ui
