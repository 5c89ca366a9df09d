#include "ui/CBaseDialog.h"

#include "tests/support/GuiTestApplication.h"
#include "tests/support/TemporaryFolder.h"
#include "ui/MaskRegion.h"
#include "ui/SkinImageCache.h"

#include <QApplication>
#include <QMouseEvent>
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
        // Fixed, so that a tiling window manager floats it.
        EXPECT_EQ(dialog.minimumSize(), QSize(120, 80));
        EXPECT_EQ(dialog.maximumSize(), QSize(120, 80));
        EXPECT_EQ(dialog.pos(), QPoint(33, 44));
        EXPECT_EQ(dialog.mask(), QRegion(20, 10, 40, 30) + QRegion(100, 70, 1, 1)) << prepared;
        EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::FramelessWindowHint));
        const QImage shown = dialog.grab().toImage();
        EXPECT_EQ(shown.pixel(5, 6) & 0xFFFFFF, qRgb(1, 2, 3) & 0xFFFFFF);
        EXPECT_EQ(shown.pixel(60, 40) & 0xFFFFFF, qRgb(10, 200, 30) & 0xFFFFFF);
    }
}

// Where masks limit input alone (Wayland), the window is translucent and
// what the mask cuts away stays clear; elsewhere the mask cuts it.
TEST_F(CBaseDialogTest, PaintedInsideTheMaskOnlyWhatTheMaskCutsAwayStaysClear) {
    saveImage(filled(QSize(60, 40), qRgb(10, 200, 30)), "back.png");
    QImage mask = filled(QSize(60, 40), qRgb(255, 255, 255));
    QPainter(&mask).fillRect(10, 5, 40, 30, Qt::black);
    saveImage(mask, "mask.png");
    for (const bool insideOnly : {false, true}) {
        SCOPED_TRACE(insideOnly);
        CBaseDialog dialog(writeLayout("Main=back.png\nMask=mask.png\n"));
        EXPECT_FALSE(dialog.isPaintedInsideMaskOnly()) << "offscreen cuts windows to masks";
        dialog.setPaintedInsideMaskOnly(insideOnly);
        dialog.show();
        EXPECT_EQ(dialog.testAttribute(Qt::WA_TranslucentBackground), insideOnly);
        const QImage shown = dialog.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(shown.pixel(30, 20), qRgb(10, 200, 30)) << "inside the mask";
        EXPECT_EQ(qAlpha(shown.pixel(2, 2)), insideOnly ? 0 : 255) << "outside it";
    }
    const struct {
        const char* platform;
        bool cuts;
    } platforms[] = {
        {"xcb", true}, {"offscreen", true}, {"wayland", false}, {"wayland-egl", false}};
    for (const auto& row : platforms) {
        EXPECT_EQ(CBaseDialog::masksCutWindows(row.platform), row.cuts) << row.platform;
    }
}

// Laid into another window, a drag moves the dialog inside that window.
TEST_F(CBaseDialogTest, ADialogLaidIntoAWindowIsDraggedWithinIt) {
    saveImage(filled(QSize(120, 80), qRgb(0, 0, 0)), "back.png");
    QWidget window;
    window.resize(300, 200);
    CBaseDialog dialog(writeLayout("Main=back.png\n"), &window);
    dialog.setWindowFlags(Qt::Widget);
    dialog.move(20, 20);
    window.show();
    dialog.show();
    const auto send = [&](QEvent::Type type, QPoint at) {
        QMouseEvent event(type, QPointF(at), QPointF(dialog.mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&dialog, &event);
    };
    const struct {
        const char* drag;
        QPoint by;
        QPoint lands;
    } drags[] = {
        {"within the window", {50, 30}, {70, 50}},
        {"past its right and bottom edges", {400, 400}, {180, 120}},
        {"past its left and top edges", {-400, -400}, {0, 0}},
    };
    for (const auto& drag : drags) {
        SCOPED_TRACE(drag.drag);
        dialog.move(20, 20);
        send(QEvent::MouseButtonPress, QPoint(10, 10));
        send(QEvent::MouseMove, QPoint(10, 10) + drag.by);
        EXPECT_EQ(dialog.pos(), drag.lands);
        send(QEvent::MouseButtonRelease, QPoint(10, 10) + drag.by - (drag.lands - QPoint(20, 20)));
    }
    // Without the button held the pointer moves nothing.
    const QPoint before = dialog.pos();
    send(QEvent::MouseMove, QPoint(30, 30));
    EXPECT_EQ(dialog.pos(), before);
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
