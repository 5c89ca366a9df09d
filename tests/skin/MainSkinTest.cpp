#include "tests/skin/SkinFiles.h"
#include "tests/skin/SkinKeys.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <set>

namespace tavrik::skintest {
namespace {

constexpr double kVisibleDifference = 4.0;

class MainSkin : public ::testing::Test {
protected:
    platform::IniSnapshot main_ = layoutFile("Main.ini");
    QImage background_ = screenImage(main_, "Main");
};

std::vector<std::string> imageButtonKeys() {
    std::vector<std::string> keys = panelKeys();
    for (const std::string& key : kMainWindowKeys) {
        if (std::find(kMainWindowPlainKeys.begin(), kMainWindowPlainKeys.end(), key) ==
            kMainWindowPlainKeys.end()) {
            keys.push_back(key);
        }
    }
    return keys;
}

TEST_F(MainSkin, EveryControlHasItsOwnPlaceInsideTheWindow) {
    ASSERT_FALSE(background_.isNull());
    std::vector<std::string> keys = panelKeys();
    keys.insert(keys.end(), kMainWindowKeys.begin(), kMainWindowKeys.end());
    keys.insert(keys.end(), kLightingKeys.begin(), kLightingKeys.end());
    for (const std::string& key : keys) {
        const QRect rect = buttonRect(main_, key);
        EXPECT_NE(rect, QRect(1, 1, 1, 1)) << key << " is missing or malformed";
        EXPECT_FALSE(rect.x() == 1 && rect.y() == 1) << key << " sits at the disabled place";
        // An image button shows the piece one pixel up and left of its place.
        EXPECT_TRUE(background_.rect().contains(rect.adjusted(-1, -1, 0, 0)))
            << key << " leaves the window";
    }
}

TEST_F(MainSkin, KeysAndWindowButtonsDoNotOverlap) {
    std::vector<std::string> keys = panelKeys();
    keys.insert(keys.end(), kMainWindowKeys.begin(), kMainWindowKeys.end());
    EXPECT_EQ(overlappingPairs(main_, keys), std::vector<std::string>());
}

struct LightingGroup {
    std::vector<std::string> keys;
    std::set<int> effects;
};

// Which lighting controls show with which effect.
const std::vector<LightingGroup>& lightingGroups() {
    static const std::vector<LightingGroup> groups = {
        {{"CONTROL_XGcombox", "CONTROL_UsbStatic", "CONTROL_DengStaPic", "CONTROL_JDTStatic",
          "CONTROL_DengStatic", "CONTROL_LightStatic", "CONTROL_LightSlider"},
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}},
        {{"CONTROL_SpeedStatic", "CONTROL_SpeedSlider"},
         {1, 2, 3, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15}},
        {{"CONTROL_HXysStatic", "CONTROL_HXysButton", "CONTROL_HXsjsStatic", "CONTROL_HXsjsStaPic"},
         {4, 5, 6, 9, 10, 13, 14, 15}},
        {{"CONTROL_FYYSStatic", "CONTROL_FYYSButton", "CONTROL_FYSJSStatic", "CONTROL_FYSJSStaPic"},
         {16}},
        {{"CONTROL_HONGPIC", "CONTROL_HUANGPIC", "CONTROL_LVPIC", "CONTROL_LANPIC"}, {17}},
        {{"CONTROL_USERysStatic", "CONTROL_USERysButton", "CONTROL_USERgjStatic",
          "CONTROL_USERgjStaPic1", "CONTROL_umCombo"},
         {8}},
    };
    return groups;
}

// The direction group shows with effects 1, 2, 7, 12 and 18, placed from
// the keys with suffix 2 for effects 1, 2, 3 and 7, suffix 3 for effect 12.
std::vector<std::string> directionKeys(int effect) {
    if (effect != 1 && effect != 2 && effect != 7 && effect != 12 && effect != 18) {
        return {};
    }
    const std::string suffix = effect == 12 ? "3" : effect == 18 ? "" : "2";
    return {"CONTROL_BLFXStatic" + suffix, "CONTROL_BLFXLStaPic" + suffix,
            "CONTROL_BLFXRStaPic" + suffix};
}

TEST_F(MainSkin, LightingControlsShownTogetherDoNotOverlap) {
    for (int effect = 1; effect <= 18; ++effect) {
        std::vector<std::string> shown = directionKeys(effect);
        for (const LightingGroup& group : lightingGroups()) {
            if (group.effects.count(effect) != 0) {
                shown.insert(shown.end(), group.keys.begin(), group.keys.end());
            }
        }
        std::vector<std::string> everything = shown;
        everything.insert(everything.end(), kMainWindowKeys.begin(), kMainWindowKeys.end());
        const std::vector<std::string> keys = panelKeys();
        everything.insert(everything.end(), keys.begin(), keys.end());
        const std::vector<std::string> pairs = overlappingPairs(main_, everything);
        for (const std::string& pair : pairs) {
            ADD_FAILURE() << "effect " << effect << ": " << pair;
        }
    }
}

TEST_F(MainSkin, DirectionGroupKeepsItsSizeInEveryPlacement) {
    // The group is moved, not resized, when the effect changes.
    for (const char* key : {"CONTROL_BLFXStatic", "CONTROL_BLFXLStaPic", "CONTROL_BLFXRStaPic"}) {
        const QSize size = buttonRect(main_, key).size();
        EXPECT_EQ(buttonRect(main_, std::string(key) + "2").size(), size) << key;
        EXPECT_EQ(buttonRect(main_, std::string(key) + "3").size(), size) << key;
    }
}

TEST_F(MainSkin, StateImagesCoverTheWindowAndDifferUnderEveryButton) {
    const QImage normal = skinImage("main_normal.jpg");
    const struct {
        const char* file;
        bool keysOnly;
    } others[] = {{"main_over.jpg", false},
                  {"main_down.jpg", false},
                  {"main_disable.jpg", false},
                  {"main_color0.jpg", true},
                  {"main_color1.jpg", true}};
    ASSERT_FALSE(normal.isNull());
    EXPECT_EQ(normal.size(), background_.size());
    const std::vector<std::string> keys = panelKeys();
    for (const auto& other : others) {
        const QImage image = skinImage(other.file);
        ASSERT_FALSE(image.isNull()) << other.file;
        EXPECT_EQ(image.size(), background_.size()) << other.file;
        for (const std::string& key : other.keysOnly ? keys : imageButtonKeys()) {
            EXPECT_GT(meanDifference(normal, image, shownPiece(buttonRect(main_, key))),
                      kVisibleDifference)
                << other.file << " under " << key;
        }
    }
}

TEST_F(MainSkin, MaskCutsOnlyTheCorners) {
    const QImage mask = screenImage(main_, "Mask");
    ASSERT_FALSE(mask.isNull());
    ASSERT_EQ(mask.size(), background_.size());
    const int right = mask.width() - 1;
    const int bottom = mask.height() - 1;
    for (const QPoint corner :
         {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom), QPoint(right, bottom)}) {
        EXPECT_EQ(mask.pixel(corner) & 0xFFFFFF, 0xFFFFFFu) << "corner " << corner.x();
    }
    // Every control lies wholly inside the window's shape.
    std::vector<std::string> keys = imageButtonKeys();
    keys.insert(keys.end(), kLightingKeys.begin(), kLightingKeys.end());
    for (const std::string& key : keys) {
        const QRect rect = buttonRect(main_, key).adjusted(-1, -1, 0, 0) & mask.rect();
        for (const QPoint point :
             {rect.topLeft(), rect.topRight(), rect.bottomLeft(), rect.bottomRight()}) {
            EXPECT_NE(mask.pixel(point) & 0xFFFFFF, 0xFFFFFFu) << key << " is cut by the mask";
        }
    }
}

TEST_F(MainSkin, LightingBitmapsHaveTheSizeOfTheirControls) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> bitmaps = {
        {"dengup.bmp", {"CONTROL_DengStaPic"}},
        {"dengdown.bmp", {"CONTROL_DengStaPic"}},
        {"leftup.bmp", {"CONTROL_BLFXLStaPic", "CONTROL_BLFXLStaPic2", "CONTROL_BLFXLStaPic3"}},
        {"leftdown.bmp", {"CONTROL_BLFXLStaPic"}},
        {"upup.bmp", {"CONTROL_BLFXLStaPic"}},
        {"updown.bmp", {"CONTROL_BLFXLStaPic"}},
        {"kuosan.bmp", {"CONTROL_BLFXLStaPic"}},
        {"kuosandown.bmp", {"CONTROL_BLFXLStaPic"}},
        {"rightup.bmp", {"CONTROL_BLFXRStaPic", "CONTROL_BLFXRStaPic2", "CONTROL_BLFXRStaPic3"}},
        {"rightdown.bmp", {"CONTROL_BLFXRStaPic"}},
        {"downup.bmp", {"CONTROL_BLFXRStaPic"}},
        {"downdown.bmp", {"CONTROL_BLFXRStaPic"}},
        {"julong.bmp", {"CONTROL_BLFXRStaPic"}},
        {"julongdown.bmp", {"CONTROL_BLFXRStaPic"}},
        {"hong.bmp", {"CONTROL_HONGPIC"}},
        {"hongok.bmp", {"CONTROL_HONGPIC"}},
        {"huang.bmp", {"CONTROL_HUANGPIC"}},
        {"huangok.bmp", {"CONTROL_HUANGPIC"}},
        {"lv.bmp", {"CONTROL_LVPIC"}},
        {"lvok.bmp", {"CONTROL_LVPIC"}},
        {"lan.bmp", {"CONTROL_LANPIC"}},
        {"lanok.bmp", {"CONTROL_LANPIC"}},
        {"sjsup.bmp",
         {"CONTROL_HXsjsStaPic", "CONTROL_FYSJSStaPic", "CONTROL_TSsjsStaPic",
          "CONTROL_CDsjsStaPic"}},
        {"sjsdown.bmp", {"CONTROL_HXsjsStaPic"}},
        {"user1up.bmp", {"CONTROL_USERgjStaPic1"}},
        {"user1down.bmp", {"CONTROL_USERgjStaPic1"}},
    };
    auto expectSize = [&](const std::string& file, const std::string& key) {
        const QImage image = skinImage(file);
        ASSERT_FALSE(image.isNull()) << file;
        EXPECT_EQ(image.size(), buttonRect(main_, key).size()) << file << " for " << key;
    };
    for (const auto& [file, keys] : bitmaps) {
        for (const std::string& key : keys) {
            expectSize(file, key);
        }
    }
    for (int position = 0; position <= 4; ++position) {
        expectSize(std::to_string(position) + ".bmp", "CONTROL_LightSlider");
        expectSize(std::to_string(position + 6) + ".bmp", "CONTROL_SpeedSlider");
    }
    for (int frame = 1; frame <= 10; ++frame) {
        expectSize("jdt" + std::to_string(frame) + ".bmp", "CONTROL_JDTStatic");
    }
}

TEST_F(MainSkin, PicturesOfOneControlDifferFromEachOther) {
    const std::vector<std::vector<std::string>> sets = {
        {"dengup.bmp", "dengdown.bmp"},
        {"leftup.bmp", "leftdown.bmp", "upup.bmp", "updown.bmp", "kuosan.bmp", "kuosandown.bmp"},
        {"rightup.bmp", "rightdown.bmp", "downup.bmp", "downdown.bmp", "julong.bmp",
         "julongdown.bmp"},
        {"hong.bmp", "hongok.bmp"},
        {"sjsup.bmp", "sjsdown.bmp"},
        {"user1up.bmp", "user1down.bmp"},
        {"0.bmp", "1.bmp", "2.bmp", "3.bmp", "4.bmp"},
        {"6.bmp", "7.bmp", "8.bmp", "9.bmp", "10.bmp"},
        {"jdt1.bmp", "jdt2.bmp", "jdt3.bmp", "jdt4.bmp", "jdt5.bmp", "jdt6.bmp", "jdt7.bmp",
         "jdt8.bmp", "jdt9.bmp", "jdt10.bmp"},
    };
    for (const std::vector<std::string>& files : sets) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            for (std::size_t j = i + 1; j < files.size(); ++j) {
                const QImage a = skinImage(files[i]);
                EXPECT_GT(meanDifference(a, skinImage(files[j]), a.rect()), 1.0)
                    << files[i] << " and " << files[j] << " look alike";
            }
        }
    }
}

TEST_F(MainSkin, ArrowPicturesLieInsideTheArrowImage) {
    const QImage arrows = skinImage("Arrow.jpg");
    ASSERT_FALSE(arrows.isNull());
    for (const char* side : {"LEFT", "RIGHT"}) {
        const QSize size = buttonRect(main_, std::string(side) + "_ARROW").size();
        QImage pictures[2];
        int index = 0;
        for (const char* direction : {"UP", "DOWN"}) {
            const std::string key = std::string(direction) + "_ARROW_" + side + "1";
            const QRect offset = sectionRect(main_, u"BUTTONINFO2", key);
            ASSERT_NE(offset, QRect(1, 1, 1, 1)) << key;
            const QRect piece(offset.topLeft(), size);
            EXPECT_TRUE(arrows.rect().contains(piece)) << key;
            EXPECT_TRUE(arrows.rect().contains(shownPiece(piece))) << key;
            pictures[index++] = arrows.copy(piece);
        }
        EXPECT_GT(meanDifference(pictures[0], pictures[1], pictures[0].rect()), kVisibleDifference)
            << side << ": the up and down arrows look alike";
    }
}

TEST_F(MainSkin, EffectNamesAndPanelLabelsExistInBothLanguages) {
    for (const char16_t* section : {u"Mode", u"Mode1"}) {
        std::set<std::u16string> names;
        for (int effect = 1; effect <= 18; ++effect) {
            const std::u16string name = readValue(main_, section, std::to_string(effect));
            EXPECT_NE(name, kMissing) << toUtf8(section) << " " << effect;
            EXPECT_NE(name, u"1") << toUtf8(section) << " " << effect;
            names.insert(name);
        }
        EXPECT_EQ(names.size(), 18u) << toUtf8(section) << " names an effect twice";
    }
    for (const char16_t* section : {u"Control_Name", u"Control_Name1"}) {
        for (const char* key :
             {"Usb", "Deng", "Light", "FX", "Speed", "Color", "JColor", "DC", "Tool", "ToolC"}) {
            const std::u16string label = readValue(main_, section, key);
            EXPECT_NE(label, kMissing) << toUtf8(section) << " " << key;
            EXPECT_FALSE(label.empty()) << toUtf8(section) << " " << key;
        }
    }
}

TEST_F(MainSkin, LinkLeadsToAFileOfTheInstallation) {
    const std::u16string link = readValue(main_, u"SCREEN", "Link");
    ASSERT_NE(link, kMissing);
    ASSERT_FALSE(link.empty());
    const QString target = QString::fromStdU16String(link);
    ASSERT_TRUE(QFileInfo(target).isRelative()) << toUtf8(link);
    EXPECT_TRUE(QFileInfo::exists(QDir(QString::fromStdString(skinPath(""))).filePath(target)))
        << toUtf8(link);
}

TEST(TrayIcons, ThreeDistinctSquareIcons) {
    const QImage icons[3] = {skinImage("tray128.png"), skinImage("tray141.png"),
                             skinImage("tray142.png")};
    for (const QImage& icon : icons) {
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.width(), icon.height());
        EXPECT_TRUE(icon.hasAlphaChannel());
    }
    EXPECT_GT(meanDifference(icons[0], icons[1], icons[0].rect()), kVisibleDifference);
    EXPECT_GT(meanDifference(icons[0], icons[2], icons[0].rect()), kVisibleDifference);
    EXPECT_GT(meanDifference(icons[1], icons[2], icons[0].rect()), kVisibleDifference);
}

} // namespace
} // namespace tavrik::skintest
