#include "ui/SkinPlacement.h"

#include "tests/support/GuiTestApplication.h"
#include "tests/support/TemporaryFolder.h"
#include "ui/CIniFile.h"
#include "ui/CPngButton.h"

#include <QEnterEvent>
#include <QHideEvent>
#include <QLabel>
#include <fstream>
#include <gtest/gtest.h>

namespace tavrik::ui {
namespace {

// Every pixel tells where it lies and which image it is from: red x, green y,
// blue the image's number.
QImage codedImage(int number, QSize size = QSize(200, 150)) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y, qRgb(x, y, number));
        }
    }
    return image;
}

ButtonImages codedImages() {
    return {codedImage(10), codedImage(20), codedImage(30), codedImage(40), codedImage(50)};
}

class SkinPlacementTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::ofstream(folder_.file("Main.ini")) << "[BUTTONINFO]\n"
                                                   "CONTROL_OK=10,20,30,40\n"
                                                   "FLIP_0=1,1,25,25\n"
                                                   "HALF=5,6\n"
                                                   "LEFT_ARROW=50,60,12,8\n"
                                                   "RIGHT_ARROW=70,60,12,8\n"
                                                   "[BUTTONINFO2]\n"
                                                   "UP_ARROW_LEFT1=100,110,0,0\n"
                                                   "DOWN_ARROW_LEFT1=120,130,0,0\n"
                                                   "UP_ARROW_RIGHT1=140,10,0,0\n"
                                                   "DOWN_ARROW_RIGHT1=160,20,0,0\n";
        dialog_.resize(400, 300);
    }

    // The colour the button shows at its own pixel (x, y).
    static QRgb shownAt(CPngButton& button, int x, int y) {
        return button.grab().toImage().pixel(x, y) & 0xFFFFFF;
    }

    testing::TemporaryFolder folder_;
    QWidget dialog_;
    CIniFile layout_{folder_.file("Main.ini")};
};

TEST_F(SkinPlacementTest, ARectangleGivesPlaceAndSizeAndTheButtonShowsThePieceUnderIt) {
    QLabel label(&dialog_);
    placeControl(label, layout_, u"CONTROL_OK");
    EXPECT_EQ(label.geometry(), QRect(10, 20, 30, 40));

    CPngButton button(&dialog_);
    placeImageButton(button, layout_, u"CONTROL_OK", codedImages());
    EXPECT_EQ(button.geometry(), QRect(10, 20, 30, 40));
    EXPECT_TRUE(button.isEnabled());
    // The 30 x 40 piece whose top-left corner is (9, 19) of the normal image.
    for (const QPoint at :
         {QPoint(0, 0), QPoint(29, 0), QPoint(0, 39), QPoint(29, 39), QPoint(13, 7)}) {
        EXPECT_EQ(shownAt(button, at.x(), at.y()), qRgb(9 + at.x(), 19 + at.y(), 10) & 0xFFFFFF)
            << at.x() << "," << at.y();
    }
}

TEST_F(SkinPlacementTest, TheStatePicksTheImage) {
    CPngButton button(&dialog_);
    placeImageButton(button, layout_, u"CONTROL_OK", codedImages());
    button.setCheckable(true);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(11, 21));
    QEvent leave(QEvent::Leave);

    struct Case {
        bool enabled, down, over, checked;
        ButtonState state;
        int number;
    };
    const Case cases[] = {
        {true, false, false, false, ButtonState::Normal, 10},
        {true, false, false, true, ButtonState::Checked, 50},
        {true, false, true, true, ButtonState::Over, 20},
        {true, true, true, true, ButtonState::Pressed, 30},
        {false, true, true, true, ButtonState::Disabled, 40},
        {false, false, false, false, ButtonState::Disabled, 40},
    };
    for (const Case& c : cases) {
        button.setEnabled(c.enabled);
        button.setDown(c.down);
        button.setChecked(c.checked);
        QCoreApplication::sendEvent(&button, c.over ? static_cast<QEvent*>(&enter) : &leave);
        EXPECT_EQ(button.state(), c.state) << c.number;
        EXPECT_EQ(qBlue(shownAt(button, 3, 4)), c.number);
        EXPECT_EQ(qRed(shownAt(button, 3, 4)), 9 + 3);
    }
    // Hidden under the pointer, it gets no leave; shown again it is not "over".
    button.setEnabled(true);
    button.setDown(false);
    button.setChecked(false);
    QCoreApplication::sendEvent(&button, &enter);
    QHideEvent hide;
    QCoreApplication::sendEvent(&button, &hide);
    EXPECT_EQ(button.state(), ButtonState::Normal);
}

TEST_F(SkinPlacementTest, AMissingKeyPlacesAtOneOneAndDisablesAnImageButton) {
    QLabel label(&dialog_);
    placeControl(label, layout_, u"NO_SUCH_KEY");
    EXPECT_EQ(label.geometry(), QRect(1, 1, 1, 1));

    // A half rectangle places nothing from it; an explicit place at (1, 1)
    // counts as the default too.
    for (const std::u16string_view key : {u"NO_SUCH_KEY", u"HALF", u"FLIP_0"}) {
        CPngButton button(&dialog_);
        placeImageButton(button, layout_, key, codedImages());
        EXPECT_EQ(button.pos(), QPoint(1, 1));
        EXPECT_FALSE(button.isEnabled());
    }
}

TEST_F(SkinPlacementTest, MovingKeepsTheSize) {
    QLabel label(&dialog_);
    label.setGeometry(0, 0, 17, 9);
    moveControl(label, layout_, u"CONTROL_OK");
    EXPECT_EQ(label.geometry(), QRect(10, 20, 17, 9));
}

TEST_F(SkinPlacementTest, AnImageButtonFromAnOffsetShowsThePieceAtTheOffset) {
    CPngButton button(&dialog_);
    placeImageButtonFrom(button, layout_, u"LEFT_ARROW", u"BUTTONINFO2", u"UP_ARROW_LEFT1",
                         codedImage(60));
    EXPECT_EQ(button.geometry(), QRect(50, 60, 12, 8));
    EXPECT_EQ(shownAt(button, 0, 0), qRgb(100, 110, 60) & 0xFFFFFF);
    EXPECT_EQ(shownAt(button, 11, 7), qRgb(111, 117, 60) & 0xFFFFFF);
    button.setEnabled(false);
    EXPECT_EQ(shownAt(button, 0, 0), qRgb(100, 110, 60) & 0xFFFFFF);
}

TEST_F(SkinPlacementTest, ArrowPicturesFollowTheSideAndTheFlipSetting) {
    EXPECT_EQ(arrowOffsetKey(ArrowSide::Left, true), u"UP_ARROW_LEFT1");
    EXPECT_EQ(arrowOffsetKey(ArrowSide::Left, false), u"DOWN_ARROW_LEFT1");
    EXPECT_EQ(arrowOffsetKey(ArrowSide::Right, true), u"UP_ARROW_RIGHT1");
    EXPECT_EQ(arrowOffsetKey(ArrowSide::Right, false), u"DOWN_ARROW_RIGHT1");

    struct Case {
        ArrowSide side;
        bool flipOn;
        QPoint place;
        QPoint piece;
    };
    const Case cases[] = {
        {ArrowSide::Left, true, {50, 60}, {100, 110}},
        {ArrowSide::Left, false, {50, 60}, {120, 130}},
        {ArrowSide::Right, true, {70, 60}, {140, 10}},
        {ArrowSide::Right, false, {70, 60}, {160, 20}},
    };
    for (const Case& c : cases) {
        CPngButton arrow(&dialog_);
        placeArrowPicture(arrow, layout_, c.side, c.flipOn, codedImage(70));
        EXPECT_EQ(arrow.pos(), c.place);
        EXPECT_EQ(shownAt(arrow, 0, 0), qRgb(c.piece.x(), c.piece.y(), 70) & 0xFFFFFF);
    }
}

TEST_F(SkinPlacementTest, APieceReachingPastTheImageShowsWhatLiesInside) {
    CPngButton button(&dialog_);
    button.setGeometry(0, 0, 20, 20);
    button.setImages(ButtonImages::all(codedImage(80, QSize(10, 10))), QPoint(-1, -1));
    EXPECT_EQ(shownAt(button, 1, 1), qRgb(0, 0, 80) & 0xFFFFFF);
    EXPECT_EQ(shownAt(button, 10, 10), qRgb(9, 9, 80) & 0xFFFFFF);
}

} // namespace
} // namespace tavrik::ui
