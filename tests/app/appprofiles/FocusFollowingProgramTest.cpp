// The whole program on an X server of the test's own, the test being the
// window manager: it names the active window in the root window's
// _NET_ACTIVE_WINDOW, as window managers do, and the keyboard's profile
// follows the rules the user stored.

#include "app/shared/SettingsRoot.h"
#include "tests/app/startup/ProgramProcessFixture.h"
#include "tests/app/startup/VirtualX11Display.h"

#include <QThread>
#include <cstring>
#include <xcb/xcb.h>

namespace tavrik::app {
namespace {

// What a window manager does for the focus: windows of named classes, and
// the root window's word on which one is active.
class TestWindowManager {
public:
    explicit TestWindowManager(const std::string& display)
        : connection_(xcb_connect(display.c_str(), nullptr)),
          screen_(xcb_setup_roots_iterator(xcb_get_setup(connection_)).data) {
        active_ = atom("_NET_ACTIVE_WINDOW");
        activate(XCB_WINDOW_NONE);
    }
    ~TestWindowManager() { xcb_disconnect(connection_); }
    TestWindowManager(const TestWindowManager&) = delete;
    TestWindowManager& operator=(const TestWindowManager&) = delete;

    // A window whose WM_CLASS is `instance` and `applicationClass`.
    xcb_window_t window(const std::string& instance, const std::string& applicationClass) {
        const xcb_window_t id = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, id, screen_->root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
        const std::string wmClass = instance + '\0' + applicationClass + '\0';
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS,
                            XCB_ATOM_STRING, 8, static_cast<std::uint32_t>(wmClass.size()),
                            wmClass.data());
        xcb_flush(connection_);
        return id;
    }
    void activate(xcb_window_t window) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, screen_->root, active_,
                            XCB_ATOM_WINDOW, 32, 1, &window);
        xcb_flush(connection_);
    }

private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t found = reply->atom;
        std::free(reply);
        return found;
    }

    xcb_connection_t* connection_;
    xcb_screen_t* screen_;
    xcb_atom_t active_ = XCB_ATOM_NONE;
};

class FocusFollowingProgramTest : public testing::ProgramProcessTest {
protected:
    // The keyboard's active profile, 1..3; 0 when it does not tell.
    int keyboardProfile() {
        service::ControlClient keyboard(folder_.file("vkbd.sock"));
        std::string reply;
        std::string error;
        if (!keyboard.request("state", reply, error)) {
            return 0;
        }
        const std::size_t at = reply.find("profile=");
        return at == std::string::npos ? 0 : std::atoi(reply.c_str() + at + 8) + 1;
    }
    bool profileBecomes(int profile) {
        const QDeadlineTimer patience(testing::kStartMilliseconds);
        while (!patience.hasExpired()) {
            if (keyboardProfile() == profile) {
                return true;
            }
            QThread::msleep(20);
        }
        return false;
    }
};

TEST_F(FocusFollowingProgramTest, TheActiveWindowsClassSwitchesTheProfileAndOthersGetTheDefault) {
    testing::VirtualX11Display x11;
    if (const std::string why = x11.start(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    x11Display_ = x11.display();
    TestWindowManager manager(x11.display());
    const xcb_window_t editor = manager.window("gimp-2.10", "Gimp");
    const xcb_window_t game = manager.window("steam_app_570", "steam_app_570");
    const xcb_window_t other = manager.window("xterm", "XTerm");
    testing::fs::create_directories(folder_.file(std::string("config/") + kSettingsRoot));
    std::ofstream(
        folder_.file(std::string("config/") + kSettingsRoot + "/" + kApplicationName + ".conf"))
        << "[PROFILES]\nAPPRULE00=2\nAPPRULE01=\"GIMP=2\"\nAPPRULE02=\"steam_app_570=3\"\n"
           "APPDEFAULT=1\n";

    testing::Instance program = launch({QStringLiteral("/Start")}, "0", Display::X11);
    ASSERT_TRUE(program.waitForLog(testing::kInitHandled)) << program.log();
    ASSERT_TRUE(profileBecomes(1));

    manager.activate(editor); // the class matches, without regard to case
    EXPECT_TRUE(profileBecomes(2)) << program.log();
    manager.activate(game);
    EXPECT_TRUE(profileBecomes(3)) << program.log();
    manager.activate(other); // no rule: the default
    EXPECT_TRUE(profileBecomes(1)) << program.log();
}

} // namespace
} // namespace tavrik::app
