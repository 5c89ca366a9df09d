// The main window's pieces on their own: the skin images it needs, the panel
// keys it places, the keys its filter drops, and a picture of the window for
// a person to look at.

#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/mainwindow/KeyboardFilter.h"
#include "app/shared/MainSkinImages.h"
#include "keyboard/PanelKeyList.h"
#include "platform/Unicode.h"
#include "tests/app/mainwindow/MainWindowFixture.h"
#include "tests/skin/SkinKeys.h"
#include "ui/CIniFile.h"
#include "ui/SkinImageCache.h"

#include <QDir>
#include <filesystem>
#include <set>

namespace tavrik::app {
namespace {

using testing::MainWindowTest;
using testing::serveEventsUntil;

TEST(MainSkinImages, EveryImageIsNeeded) {
    testing::TemporaryFolder folder;
    const std::string skins = folder.file("Skins") + "/";
    std::filesystem::copy(std::string(TAVRIK_BIN_DIR) + "/Skins", skins);
    ASSERT_TRUE(loadMainSkinImages(skins).has_value());
    for (const char* file : kMainSkinImageFiles) {
        const std::string moved = folder.file("moved");
        std::filesystem::rename(skins + file, moved);
        ui::clearSkinImages();
        EXPECT_FALSE(loadMainSkinImages(skins).has_value()) << file;
        std::filesystem::rename(moved, skins + file);
    }
    ui::clearSkinImages();
    const std::optional<MainSkinImages> images = loadMainSkinImages(skins);
    ASSERT_TRUE(images.has_value());
    // A checked button shows the pressed image; the highlighted set shows it
    // in every state.
    EXPECT_EQ(images->buttons().checked.cacheKey(), images->down.cacheKey());
    EXPECT_EQ(images->highlighted().normal.cacheKey(), images->down.cacheKey());
    EXPECT_EQ(images->highlighted().disabled.cacheKey(), images->down.cacheKey());
}

TEST(PanelKeyList, ButtonsAndSkinEntriesAreTheKeyboardsOwn) {
    const std::vector<std::string> skinKeys = skintest::panelKeys();
    ASSERT_EQ(skinKeys.size(), keyboard::kPanelKeyCount + keyboard::kGButtonCount);
    std::set<int> ids;
    for (std::size_t p = 0; p < keyboard::kPanelKeyCount; ++p) {
        const keyboard::PanelKey& key = keyboard::PanelKeyList[p];
        EXPECT_EQ(platform::toUtf8(keyboard::panelKeySkinEntry(key.code)), skinKeys[p]) << p;
        EXPECT_EQ(keyboard::panelPositionOf(key.buttonId), p);
        ids.insert(key.buttonId);
    }
    for (std::size_t g = 0; g < keyboard::kGButtonCount; ++g) {
        EXPECT_EQ(platform::toUtf8(keyboard::gKeySkinEntry(g)),
                  skinKeys[keyboard::kPanelKeyCount + g]);
        EXPECT_EQ(keyboard::gButtonIndexOf(keyboard::GButtonIds[g]), g);
        ids.insert(keyboard::GButtonIds[g]);
    }
    EXPECT_EQ(ids.size(), keyboard::kPanelKeyCount + keyboard::kGButtonCount);
    EXPECT_EQ(keyboard::panelPositionOf(1000), std::nullopt);
    EXPECT_EQ(keyboard::gButtonIndexOf(1058), std::nullopt);
    // The rows of the table's extended keys.
    EXPECT_EQ(keyboard::panelKeySkinEntry(0x137), u"KEY_0B7");
    EXPECT_EQ(keyboard::panelKeySkinEntry(0x15D), u"KEY_0DD");
}

TEST(KeyboardFilter, DropsEnterAndEscapeAlwaysAndArrowsOnlyInTheEffectList) {
    const struct {
        int key;
        bool droppedInList;
        bool droppedElsewhere;
    } cases[] = {
        {Qt::Key_Return, true, true},     {Qt::Key_Enter, true, true},
        {Qt::Key_Escape, true, true},     {Qt::Key_Left, true, false},
        {Qt::Key_Up, true, false},        {Qt::Key_Right, true, false},
        {Qt::Key_Down, true, false},      {Qt::Key_Space, false, false},
        {Qt::Key_F1, false, false},       {Qt::Key_Tab, false, false},
        {Qt::Key_PageDown, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mainWindowDropsKey(c.key, true), c.droppedInList) << c.key;
        EXPECT_EQ(mainWindowDropsKey(c.key, false), c.droppedElsewhere) << c.key;
    }
}

TEST_F(MainWindowTest, KeysArePlacedFromTheSkinAndDrawnInThePictureOfTheWindow) {
    CTavrikDlg& window = start();
    ASSERT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
    KeyboardPanel& panel = window.keyboardPanel();
    const ui::CIniFile layout(platform::pathSet().mainSkinFile);
    for (std::size_t p = 0; p < keyboard::kPanelKeyCount; ++p) {
        const ui::CPngButton& key = *panel.keyButton(p);
        const platform::LayoutRectangle place =
            layout.readRect(keyboard::panelKeySkinEntry(keyboard::PanelKeyList[p].code));
        EXPECT_EQ(key.geometry(), QRect(place.x, place.y, place.width, place.height)) << p;
        EXPECT_TRUE(key.isEnabled()) << p;
        EXPECT_EQ(panel.button(keyboard::PanelKeyList[p].buttonId), &key);
    }
    // G7..G9 and D1..D6 are not in use until the keyboard or the Flip
    // setting needs them.
    for (std::size_t g = 0; g < keyboard::kGButtonCount; ++g) {
        EXPECT_EQ(panel.gButton(g)->isEnabled(), g < 6) << g;
    }
    for (const int id : KeyboardPanel::kDButtonIds) {
        EXPECT_FALSE(panel.button(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(panel.button(KeyboardPanel::kFnButtonId)->isEnabled());

    keyboard_.control("press bank");
    ASSERT_TRUE(serveEventsUntil([&] { return panel.gButton(0)->text() == "B1"; }));
    const QImage picture = window.grab().toImage();
    EXPECT_EQ(picture.size(), window.background().size());
    const QString file = QStringLiteral(TAVRIK_RENDER_DIR) + "/main_window.png";
    QDir().mkpath(QStringLiteral(TAVRIK_RENDER_DIR));
    EXPECT_TRUE(picture.save(file)) << file.toStdString();
}

} // namespace
} // namespace tavrik::app
