#include "ui/CBaseDialog.h"

#include "tests/support/GuiTestApplication.h"
#include "tests/support/TemporaryFolder.h"
#include "ui/MaskRegion.h"
#include "ui/SkinImageCache.h"

#include <QPainter>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace tavrik::ui {
namespace {

class CBaseDialogTest : public ::testing::Test {
protected:
    void SetUp() override { clearSkinImages(); }
    void TearDown() override { clearSkinImages(); }

    std::string writeLayout(const std::string& screen) {
        const std::string path = folder_.file("Dialog.ini");
        std::ofstream(path) << "[SCREEN]\n" << screen;
        return path;
    }
    void saveImage(const QImage& image, const std::string& name) {
        ASSERT_TRUE(image.save(QString::fromStdString(folder_.file(name)), "PNG"));
    }
    static QImage filled(QSize size, QRgb colour) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }

    testing::TemporaryFolder folder_;
};

TEST_F(CBaseDialogTest, TakesTheBackgroundsSizeAndTheMasksShape) {
    QImage background = filled(QSize(120, 80), qRgb(10, 200, 30));
    background.setPixel(5, 6, qRgb(1, 2, 3));
    saveImage(background, "back.png");
    // The window is the mask's non-white part: a 40 x 30 block at (20, 10)
    // and one near-white pixel, which counts as window too.
    QImage mask = filled(QSize(120, 80), qRgb(255, 255, 255));
    QPainter(&mask).fillRect(20, 10, 40, 30, Qt::black);
    mask.setPixel(100, 70, qRgb(255, 255, 254));
    saveImage(mask, "mask.png");

    // The shape is read when the window is first shown, or beside the
    // caller once it was asked to prepare it; the first show takes it then.
    for (const bool prepared : {false, true}) {
        CBaseDialog dialog(writeLayout("Main=back.png\nMask=mask.png\n"));
        if (prepared) {
            dialog.prepareShape();
        }
        dialog.move(33, 44);
        dialog.show();
        ASSERT_TRUE(dialog.hasBackground());
        EXPECT_EQ(dialog.size(), QSize(120, 80));
        EXPECT_EQ(dialog.pos(), QPoint(33, 44));
        EXPECT_EQ(dialog.mask(), QRegion(20, 10, 40, 30) + QRegion(100, 70, 1, 1)) << prepared;
        EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
        const QImage shown = dialog.grab().toImage();
        EXPECT_EQ(shown.pixel(5, 6) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF);
        EXPECT_EQ(shown.pixel(60, 40) & 0xFFFFFF, qRgb(10, 200, 30) & 0xFFFFFF);
    }
}

TEST_F(CBaseDialogTest, WithoutAMaskKeyTheBackgroundShapesTheWindow) {
    QImage background = filled(QSize(50, 40), qRgb(255, 255, 255));
    QPainter(&background).fillRect(0, 0, 10, 40, Qt::red);
    saveImage(background, "back.png");
    CBaseDialog dialog(writeLayout("Main=back.png\n"));
    dialog.show();
    EXPECT_EQ(dialog.mask(), QRegion(0, 0, 10, 40));
}

TEST_F(CBaseDialogTest, AMissingOrAllWhiteMaskLeavesTheWindowRectangular) {
    saveImage(filled(QSize(50, 40), qRgb(0, 0, 0)), "back.png");
    saveImage(filled(QSize(50, 40), qRgb(255, 255, 255)), "white.png");
    std::ofstream(folder_.file("broken.png")) << "not an image";

    EXPECT_TRUE(regionFromMask(filled(QSize(50, 40), qRgb(255, 255, 255))).isEmpty());
    EXPECT_TRUE(regionFromMask(QImage()).isEmpty());
    for (const char* mask : {"missing.png", "broken.png", "white.png"}) {
        CBaseDialog dialog(writeLayout(std::string("Main=back.png\nMask=") + mask + "\n"));
        dialog.show();
        EXPECT_EQ(dialog.size(), QSize(50, 40)) << mask;
        EXPECT_TRUE(dialog.mask().isEmpty()) << mask;
    }
}

TEST_F(CBaseDialogTest, WithoutABackgroundTheWindowKeepsItsSize) {
    CBaseDialog dialog(writeLayout("Main=missing.png\n"));
    EXPECT_FALSE(dialog.hasBackground());
    CBaseDialog noFile(folder_.file("NoSuchLayout.ini"));
    EXPECT_FALSE(noFile.hasBackground());
    EXPECT_EQ(noFile.skinFolder(), folder_.path() + "/");
}

TEST_F(CBaseDialogTest, SkinImagesAreReadOnceAndKept) {
    saveImage(filled(QSize(8, 8), qRgb(9, 9, 9)), "kept.png");
    const std::string path = folder_.file("kept.png");
    const QImage first = skinImage(path);
    ASSERT_FALSE(first.isNull());
    std::filesystem::remove(path);
    const QImage again = skinImage(path);
    EXPECT_EQ(again.cacheKey(), first.cacheKey());
    EXPECT_TRUE(skinImage(folder_.file("absent.png")).isNull());
    clearSkinImages();
    EXPECT_TRUE(skinImage(path).isNull());
}

TEST(CIniFile, ImageNamesAreRelativeToTheLayoutFilesFolder) {
    const CIniFile layout("/opt/tavrik/Skins/Main.ini");
    EXPECT_EQ(layout.folder(), "/opt/tavrik/Skins/");
    EXPECT_EQ(layout.imagePath(u"main_normal.jpg"), "/opt/tavrik/Skins/main_normal.jpg");
    EXPECT_EQ(layout.imagePath(u"sub\\arrow.jpg"), "/opt/tavrik/Skins/sub/arrow.jpg");
    EXPECT_EQ(layout.imagePath(u""), "");
    EXPECT_EQ(CIniFile("Main.ini").folder(), "./");
}

} // namespace
} // namespace tavrik::ui
