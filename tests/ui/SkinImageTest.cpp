// Skin pictures are read only from regular files: anything else in a
// picture's place counts as a missing picture, which ends the start quietly,
// instead of blocking it for good while the instance lock is held.

#include "ui/SkinImage.h"

#include "tests/support/GuiTestApplication.h"
#include "tests/support/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tavrik::ui {
namespace {

TEST(SkinImage, OnlyARegularFileWithAPictureGivesOne) {
    const testing::TemporaryFolder folder;
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    ASSERT_TRUE(picture.save(QString::fromStdString(folder.file("good.bmp"))));
    ASSERT_EQ(::mkfifo(folder.file("fifo.bmp").c_str(), 0600), 0);
    std::filesystem::create_directory(folder.file("folder.bmp"));
    std::ofstream(folder.file("empty.bmp"));
    std::ofstream(folder.file("garbage.bmp")) << "not a picture at all";
    std::filesystem::create_symlink(folder.file("fifo.bmp"), folder.file("link.bmp"));

    const struct {
        const char* name;
        bool found;
    } cases[] = {
        {"good.bmp", true},   {"fifo.bmp", false},    {"link.bmp", false},    {"folder.bmp", false},
        {"empty.bmp", false}, {"garbage.bmp", false}, {"missing.bmp", false},
    };
    for (const auto& entry : cases) {
        EXPECT_EQ(!SkinImage::fromFile(folder.file(entry.name)).isNull(), entry.found)
            << entry.name;
    }

    // What was read at the start is what is drawn, also when the file is
    // gone by then.
    const SkinImage good = SkinImage::fromFile(folder.file("good.bmp"));
    EXPECT_EQ(good.size(), QSize(7, 5));
    std::filesystem::remove(folder.file("good.bmp"));
    EXPECT_EQ(good.image().pixelColor(3, 2), QColor(10, 200, 30));
}

} // namespace
} // namespace tavrik::ui
