#include "app/CompositePlacement.h"
#include "app/KeyboardPanel.h"
#include "app/Tavrik_DlgComposite.h"
#include "platform/WindowMessage.h"
#include "tests/app/MainWindowFixture.h"

#include <QScreen>

namespace tavrik::testing {
namespace {

constexpr int kRowA = 0x1E;
constexpr int kButtonA = 1058;

TEST_F(MainWindowTest, TheWindowOpensTheEditorBesideTheKeyAndClosesItWhenTheKeyboardGoes) {
    app::CTavrikDlg& window = start();
    ASSERT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
    ASSERT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
    app::Tavrik_DlgComposite& editor = window.compositeEditor();
    EXPECT_EQ(&window.compositeEditor(), &editor) << "one editor for the window's life";
    EXPECT_FALSE(window.isCompositeEditorOpen());

    editor.begin({kRowA, 0, kButtonA, false});
    EXPECT_TRUE(window.isCompositeEditorOpen());
    const ui::CPngButton& key = *window.keyboardPanel().button(kButtonA);
    const QRect onScreen(key.mapToGlobal(QPoint(0, 0)), key.size());
    EXPECT_EQ(editor.pos(), app::placeBesideButton(onScreen, editor.size(),
                                                   window.screen()->geometry()));
    platform::sendWindowMessage(&window, platform::message::DeviceRemoved, 0);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_FALSE(window.isCompositeEditorOpen());

    editor.begin({kRowA, 0, kButtonA, false});
    EXPECT_TRUE(window.exitProgram());
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(editor.openCount(), 0);
}

} // namespace
} // namespace tavrik::testing
