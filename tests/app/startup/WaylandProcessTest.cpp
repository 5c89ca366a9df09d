// The program as a native Wayland client, under a headless sway: the main
// window floats at its own size on a compositor that tiles, its corners show
// what lies beneath it, and the key editor a click opens lies beside the key
// rather than where the compositor would put a window.

#include "platform/IniFile.h"
#include "tests/app/startup/HeadlessSway.h"
#include "tests/app/startup/ProgramProcessFixture.h"

#include <QImageReader>
#include <QRegularExpression>

namespace tavrik::app {
namespace {

using namespace tavrik::testing;

const QString kMainCaption = QStringLiteral("Tavrik gaming keyboard settings");

class WaylandProcessTest : public ProgramProcessTest {
protected:
    // Empty when the compositor and its pointer run, else why they do not.
    std::string startCompositor() {
#ifndef TAVRIK_WAYLAND_POINTER
        return "built without wayland-client and wayland-scanner (scripts/setup installs them)";
#else
        if (std::string why = sway_.start(); !why.empty()) {
            return why;
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"),
                           QString::fromStdString(sway_.display()));
        pointer_.setProcessEnvironment(environment);
        pointer_.start(QStringLiteral(TAVRIK_WAYLAND_POINTER), {});
        if (!waitForPointer("READY")) {
            return "the compositor offers no virtual pointer: " + pointerSaid_;
        }
        waylandDisplay_ = sway_.display();
        return "";
#endif
    }
    void TearDown() override {
        pointer_.closeWriteChannel();
        pointer_.waitForFinished(5000);
        ProgramProcessTest::TearDown();
    }

    bool waitForPointer(const std::string& line) {
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            pointerSaid_ += pointer_.readAllStandardOutput().toStdString();
            if (const std::size_t at = pointerSaid_.find(line + "\n"); at != std::string::npos) {
                pointerSaid_.erase(0, at + line.size() + 1);
                return true;
            }
            if (pointer_.state() == QProcess::NotRunning && !pointer_.waitForReadyRead(0)) {
                return false;
            }
            pointer_.waitForReadyRead(20);
        }
        return false;
    }
    bool click(const QPoint& at) {
        const QSize layout = sway_.outputSize();
        pointer_.write(QStringLiteral("click %1 %2 %3 %4\n")
                           .arg(at.x())
                           .arg(at.y())
                           .arg(layout.width())
                           .arg(layout.height())
                           .toLatin1());
        return waitForPointer("CLICKED");
    }

    // The main window once the compositor has mapped it.
    std::optional<QJsonObject> waitForWindow(const QString& title) {
        const QDeadlineTimer deadline(kStartMilliseconds);
        while (!deadline.hasExpired()) {
            if (std::optional<QJsonObject> node = sway_.window(title)) {
                return node;
            }
            ::usleep(20000);
        }
        return std::nullopt;
    }

    QRect skinRectangle(const std::u16string& key) {
        const std::u16string value =
            platform::IniFile(binFile("Skins/Main.ini")).readString(u"BUTTONINFO", key, u"");
        const QStringList numbers = QString::fromStdU16String(value).split(QLatin1Char(','));
        return numbers.size() < 4 ? QRect()
                                  : QRect(numbers[0].toInt(), numbers[1].toInt(),
                                          numbers[2].toInt(), numbers[3].toInt());
    }

    HeadlessSway sway_;
    QProcess pointer_;
    std::string pointerSaid_;
};

QRect rectangleIn(const QRegularExpressionMatch& match, int first) {
    return {match.captured(first).toInt(), match.captured(first + 1).toInt(),
            match.captured(first + 2).toInt(), match.captured(first + 3).toInt()};
}

TEST_F(WaylandProcessTest, TheWindowFloatsWithRoundCornersAndTheEditorOpensBesideTheKey) {
    if (const std::string why = startCompositor(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    Instance program = launch({}, "0", Display::Wayland);
    ASSERT_TRUE(program.waitForLog(kWindowShown)) << program.log();
    const std::optional<QJsonObject> window = waitForWindow(kMainCaption);
    ASSERT_TRUE(window) << program.log();

    // Floating, at the size of its skin: its size hints are fixed.
    const QSize skin =
        QImageReader(QString::fromStdString(binFile("Skins/main_normal.jpg"))).size();
    ASSERT_TRUE(skin.isValid());
    EXPECT_EQ(window->value(QStringLiteral("type")).toString(), QStringLiteral("floating_con"));
    const QRect frame = HeadlessSway::rectOf(*window);
    EXPECT_EQ(frame.size(), skin);

    // The mask's round corners show the output's colour; inside, the skin.
    // Mapped, it may show its first frame a moment later; clicks wait for it
    // too.
    QImage shot;
    const QDeadlineTimer drawn(kStartMilliseconds);
    do {
        shot = sway_.screenshot();
        ASSERT_FALSE(shot.isNull());
    } while (shot.pixel(frame.center()) == HeadlessSway::kBackground && !drawn.hasExpired());
    const struct {
        const char* where;
        QPoint at;
        bool background;
    } pixels[] = {
        {"top left corner", frame.topLeft(), true},
        {"top right corner", frame.topRight(), true},
        {"bottom left corner", frame.bottomLeft(), true},
        {"bottom right corner", frame.bottomRight(), true},
        {"top edge", QPoint(frame.center().x(), frame.top()), false},
        {"middle", frame.center(), false},
    };
    for (const auto& pixel : pixels) {
        SCOPED_TRACE(pixel.where);
        EXPECT_EQ(shot.pixel(pixel.at) == HeadlessSway::kBackground, pixel.background)
            << std::hex << shot.pixel(pixel.at);
    }

    // A click on H opens the editor in the window, clear of the key.
    const QRect keyH = skinRectangle(u"KEY_023");
    ASSERT_TRUE(keyH.isValid());
    ASSERT_TRUE(click(frame.topLeft() + keyH.center()));
    ASSERT_TRUE(program.waitForLog("editor placed")) << program.log();
    const QRegularExpressionMatch placed =
        QRegularExpression(
            QStringLiteral("editor placed (-?\\d+),(-?\\d+) (\\d+)x(\\d+) beside key "
                           "(-?\\d+),(-?\\d+) (\\d+)x(\\d+) (.*)"))
            .match(QString::fromStdString(program.log()));
    ASSERT_TRUE(placed.hasMatch()) << program.log();
    const QRect editor = rectangleIn(placed, 1);
    EXPECT_EQ(rectangleIn(placed, 5), keyH);
    EXPECT_TRUE(placed.captured(9).startsWith(QStringLiteral("in the window")));
    EXPECT_FALSE(editor.intersects(keyH));
    EXPECT_TRUE(QRect(QPoint(0, 0), skin).contains(editor));
    // No window of its own for the compositor to centre.
    EXPECT_EQ(sway_.windowCount(program.process().processId()), 1);
    EXPECT_EQ(program.process().state(), QProcess::Running);
}

} // namespace
} // namespace tavrik::app
