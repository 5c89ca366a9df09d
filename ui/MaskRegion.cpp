#include "ui/MaskRegion.h"

#include "platform/ByteOrder.h"
#include "platform/RegularFile.h"

#include <QString>
#include <algorithm>
#include <array>
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
// Rows are read this many bytes at a time (at least one row).
constexpr std::size_t kBlockBytes = 64 * 1024;

// Runs of window pixels, row by row; rows with the same runs as the row above
// extend its band, which keeps the region in Qt's banded form. A skin's shape
// changes on few rows: a row whose pixels are those of the row above is not
// looked at pixel by pixel.
class RegionBuilder {
public:
    // Row `y`, whose pixels are `pixels`, `width` of them.
    template <typename IsWindow>
    void addRow(int y, std::span<const std::uint8_t> pixels, int width, IsWindow&& isWindow) {
        if (y > 0 && std::ranges::equal(pixels, lastPixels_)) {
            repeatRow();
            return;
        }
        lastPixels_.assign(pixels.begin(), pixels.end());
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
    std::vector<std::uint8_t> lastPixels_;

    // The next row is like the last one added.
    void repeatRow() {
        for (std::size_t i = bandStart_; i < rectangles_.size(); ++i) {
            rectangles_[i].setHeight(rectangles_[i].height() + 1);
        }
    }
};

// Where the pixels of an uncompressed 24- or 32-bit BMP lie in its file.
struct BmpRows {
    std::uint32_t pixelOffset = 0;
    int width = 0;
    int rows = 0;
    bool bottomUp = true;
    std::size_t pixelBytes = 0;
    std::size_t stride = 0;
};

// The rows of the BMP whose headers are `header`; nothing for any other file,
// which then goes to the image plug-ins.
std::optional<BmpRows> bmpRows(std::span<const std::uint8_t> header) {
    using platform::readI32;
    using platform::readU16;
    using platform::readU32;
    if (header.size() < kFileHeaderSize + kInfoHeaderSize || header[0] != 'B' || header[1] != 'M') {
        return std::nullopt;
    }
    const std::uint8_t* info = header.data() + kFileHeaderSize;
    const std::int32_t width = readI32(info + 4);
    const std::int32_t height = readI32(info + 8);
    const std::uint16_t bitsPerPixel = readU16(info + 14);
    if (readU32(info) < kInfoHeaderSize || readU32(info + 16) != kUncompressed ||
        (bitsPerPixel != 24 && bitsPerPixel != 32) || width <= 0 || width > kLargestSide ||
        height == 0 || height > kLargestSide || height < -kLargestSide) {
        return std::nullopt;
    }
    BmpRows layout;
    layout.pixelOffset = readU32(header.data() + 10);
    layout.width = width;
    layout.bottomUp = height > 0;
    layout.rows = layout.bottomUp ? height : -height;
    layout.pixelBytes = bitsPerPixel / 8;
    layout.stride = (static_cast<std::size_t>(width) * bitsPerPixel + 31) / 32 * 4;
    return layout;
}

// The region of the BMP's pixels, read a block of rows at a time, top row
// first whatever the file's row order: a whole-window mask is megabytes, and
// fresh memory for all of it cost more than tracing its shape. Empty when
// the pixels are not all there.
QRegion regionFromBmpRows(platform::RegularFile& file, const BmpRows& layout) {
    // A file cut short is damaged, not of another kind: it has no shape.
    const std::uint64_t fileSize = file.size();
    if (layout.pixelOffset > fileSize ||
        (fileSize - layout.pixelOffset) / layout.stride < std::uint64_t(layout.rows)) {
        return QRegion();
    }
    const std::size_t rowBytes = static_cast<std::size_t>(layout.width) * layout.pixelBytes;
    const int blockRows = static_cast<int>(std::max<std::size_t>(1, kBlockBytes / layout.stride));
    std::vector<std::uint8_t> block(static_cast<std::size_t>(blockRows) * layout.stride);
    RegionBuilder builder;
    for (int top = 0; top < layout.rows; top += blockRows) {
        const int count = std::min(blockRows, layout.rows - top);
        // The block's first stored row: the lowest of its rows when bottom-up.
        const int firstStored = layout.bottomUp ? layout.rows - top - count : top;
        const std::span<std::uint8_t> bytes(block.data(), std::size_t(count) * layout.stride);
        if (!file.readFullyAt(layout.pixelOffset + std::uint64_t(firstStored) * layout.stride,
                              bytes)) {
            return QRegion();
        }
        for (int i = 0; i < count; ++i) {
            const int at = layout.bottomUp ? count - 1 - i : i;
            const std::uint8_t* row = block.data() + std::size_t(at) * layout.stride;
            builder.addRow(top + i, {row, rowBytes}, layout.width, [row, &layout](int x) {
                const std::uint8_t* pixel = row + std::size_t(x) * layout.pixelBytes;
                return (pixel[0] & pixel[1] & pixel[2]) != 0xFF;
            });
        }
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
    for (int y = 0; y < pixels.height(); ++y) {
        const uchar* line = pixels.constScanLine(y);
        const auto* row = reinterpret_cast<const QRgb*>(line);
        builder.addRow(y, {line, rowBytes}, pixels.width(),
                       [row](int x) { return (row[x] & white) != white; });
    }
    return builder.region();
}

QRegion regionFromMaskFile(const std::string& path) {
    // Only a regular file can hold a mask: anything else could block the
    // open (a FIFO waits for a writer).
    platform::RegularFile file;
    if (file.open(path) != platform::RegularFile::Open::Opened) {
        return {};
    }
    std::array<std::uint8_t, kFileHeaderSize + kInfoHeaderSize> header{};
    if (file.size() >= header.size() && file.readFullyAt(0, header)) {
        if (const std::optional<BmpRows> layout = bmpRows(header)) {
            return regionFromBmpRows(file, *layout);
        }
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(file.size()));
    if (!file.readFully(bytes)) {
        return {};
    }
    return regionFromMask(QImage::fromData(bytes.data(), static_cast<int>(bytes.size())));
}

} // namespace tavrik::ui
