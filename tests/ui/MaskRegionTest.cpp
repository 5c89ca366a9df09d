// A mask read straight from a BMP's bytes has the shape the image plug-ins
// would give it, whatever the BMP's row order and pixel size; anything else
// still goes through the plug-ins, and a damaged file gives no shape.

#include "ui/MaskRegion.h"

#include "platform/ByteOrder.h"
#include "tests/support/GuiTestApplication.h"
#include "tests/support/TemporaryFolder.h"

#include <QPainter>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace tavrik::ui {
namespace {

// A mask of odd width (rows padded), with a block, a near-white pixel and a
// hole, in bands that differ from row to row.
QImage sampleMask() {
    QImage mask(37, 23, QImage::Format_RGB32);
    mask.fill(qRgb(255, 255, 255));
    QPainter painter(&mask);
    painter.fillRect(3, 2, 20, 15, Qt::black);
    painter.fillRect(8, 6, 5, 4, Qt::white);
    painter.end();
    mask.setPixel(36, 22, qRgb(255, 254, 255));
    mask.setPixel(0, 0, qRgb(10, 20, 30));
    return mask;
}

// The BMP bytes of `image`, uncompressed, `bits` per pixel, bottom-up or
// top-down rows; a 32-bit pixel carries a fourth byte that plays no part.
std::string bmpBytes(const QImage& image, int bits, bool topDown) {
    const int width = image.width();
    const int height = image.height();
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    std::vector<std::uint8_t> bytes(54 + stride * height, 0);
    bytes[0] = 'B';
    bytes[1] = 'M';
    platform::writeU32(&bytes[2], static_cast<std::uint32_t>(bytes.size()));
    platform::writeU32(&bytes[10], 54);
    platform::writeU32(&bytes[14], 40);
    platform::writeU32(&bytes[18], static_cast<std::uint32_t>(width));
    platform::writeU32(&bytes[22], static_cast<std::uint32_t>(topDown ? -height : height));
    platform::writeU16(&bytes[26], 1);
    platform::writeU16(&bytes[28], static_cast<std::uint16_t>(bits));
    for (int y = 0; y < height; ++y) {
        const std::size_t row =
            54 + stride * static_cast<std::size_t>(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = image.pixel(x, y);
            std::uint8_t* at = &bytes[row + static_cast<std::size_t>(x) * (bits / 8)];
            at[0] = static_cast<std::uint8_t>(qBlue(pixel));
            at[1] = static_cast<std::uint8_t>(qGreen(pixel));
            at[2] = static_cast<std::uint8_t>(qRed(pixel));
            if (bits == 32) {
                at[3] = 0x5A;
            }
        }
    }
    return std::string(bytes.begin(), bytes.end());
}

class MaskRegionTest : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes) {
        const std::string path = folder_.file(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    testing::TemporaryFolder folder_;
};

TEST_F(MaskRegionTest, ABmpGivesTheShapeOfItsPicture) {
    const QImage mask = sampleMask();
    const QRegion expected = QRegion(3, 2, 20, 15).subtracted(QRegion(8, 6, 5, 4)) +
                             QRegion(36, 22, 1, 1) + QRegion(0, 0, 1, 1);
    ASSERT_EQ(regionFromMask(mask), expected);
    struct Case {
        int bits;
        bool topDown;
    };
    for (const Case c : {Case{24, false}, Case{24, true}, Case{32, false}, Case{32, true}}) {
        const std::string path = write("mask.bmp", bmpBytes(mask, c.bits, c.topDown));
        EXPECT_EQ(regionFromMaskFile(path), expected) << c.bits << " bits, top-down " << c.topDown;
    }
    // A mask of many rows is read in blocks: shapes across block edges.
    QImage tall(600, 300, QImage::Format_RGB32);
    tall.fill(qRgb(255, 255, 255));
    QPainter painter(&tall);
    painter.setBrush(Qt::black);
    painter.drawEllipse(10, 5, 580, 290);
    painter.fillRect(0, 35, 600, 3, Qt::black);
    painter.end();
    for (const Case c : {Case{24, false}, Case{32, true}}) {
        const std::string path = write("tall.bmp", bmpBytes(tall, c.bits, c.topDown));
        EXPECT_EQ(regionFromMaskFile(path), regionFromMask(tall))
            << c.bits << " bits, top-down " << c.topDown;
    }
    // The image plug-ins read the same file the same way.
    const std::string path = write("mask.bmp", bmpBytes(mask, 24, false));
    EXPECT_EQ(regionFromMask(QImage(QString::fromStdString(path))), expected);
}

TEST_F(MaskRegionTest, OtherPicturesGoThroughTheImagePlugins) {
    const QImage mask = sampleMask();
    const std::string path = folder_.file("mask.png");
    ASSERT_TRUE(mask.save(QString::fromStdString(path), "PNG"));
    EXPECT_EQ(regionFromMaskFile(path), regionFromMask(mask));
}

TEST_F(MaskRegionTest, ADamagedOrMissingFileGivesNoShape) {
    const std::string whole = bmpBytes(sampleMask(), 24, false);
    std::string hugeWidth = whole;
    platform::writeU32(reinterpret_cast<std::uint8_t*>(&hugeWidth[18]), 0x7FFFFFFF);
    std::string pixelsPastTheEnd = whole;
    platform::writeU32(reinterpret_cast<std::uint8_t*>(&pixelsPastTheEnd[10]), 0xFFFFFFF0);
    const std::pair<const char*, std::string> files[] = {
        {"cut short", whole.substr(0, whole.size() / 2)},
        {"header only", whole.substr(0, 54)},
        {"huge width", hugeWidth},
        {"pixels past the end", pixelsPastTheEnd},
        {"not an image", "BM not really"},
    };
    for (const auto& [name, bytes] : files) {
        EXPECT_TRUE(regionFromMaskFile(write("damaged.bmp", bytes)).isEmpty()) << name;
    }
    EXPECT_TRUE(regionFromMaskFile(folder_.file("missing.bmp")).isEmpty());
    // Nothing waits on a mask that is no file: a FIFO, a folder.
    const std::string fifo = folder_.file("fifo.bmp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(regionFromMaskFile(fifo).isEmpty());
    EXPECT_TRUE(regionFromMaskFile(folder_.path()).isEmpty());
}

} // namespace
} // namespace tavrik::ui
