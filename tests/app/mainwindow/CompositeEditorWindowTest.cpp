#include "app/compositeeditor/CompositePlacement.h"
#include "app/compositeeditor/Tavrik_DlgComposite.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "platform/WindowMessage.h"
#include "tests/app/mainwindow/PanelWindowFixture.h"

#include <QLineEdit>
#include <QScreen>
#include <QTimer>

namespace tavrik::testing {
namespace {

constexpr int kRowA = 0x1E;
constexpr int kButtonA = 1058;
constexpr quint32 kXkbB = 56;

class EditorWindowTest : public MainWindowTest {
protected:
    app::CTavrikDlg& startShown() {
        app::CTavrikDlg& window = start();
        EXPECT_TRUE(waitForTrayIcon(platform::trayicon::KeyboardPresent));
        EXPECT_TRUE(serveEventsUntil([&] { return window.isVisible(); }));
        return window;
    }

    // Clicks the key's button; `whileOpen` runs in the editor's own loop.
    void clickKeyWhileOpen(app::CTavrikDlg& window, int buttonId,
                           std::function<void(app::Tavrik_DlgComposite&)> whileOpen) {
        QTimer::singleShot(0, &window, [&window, whileOpen] {
            app::Tavrik_DlgComposite& editor = window.compositeEditor();
            EXPECT_TRUE(editor.isVisible());
            whileOpen(editor);
            if (editor.isVisible()) {
                editor.reject();
            }
        });
        window.keyboardPanel().button(buttonId)->click();
    }

    int openCount(app::CTavrikDlg& window) {
        return window.keyboardPanel().compositeEditorOpener().openCount();
    }

    RecordingPrompter prompter_;
};

TEST_F(EditorWindowTest, AClickOnAKeyEditsItAndItsTipFollows) {
    app::CTavrikDlg& window = startShown();
    const ui::CPngButton& key = *window.keyboardPanel().button(kButtonA);
    const QImage normalLook = key.stateImage(ui::ButtonState::Normal);
    clickKeyWhileOpen(window, kButtonA, [&](app::Tavrik_DlgComposite& editor) {
        EXPECT_EQ(editor.request(), (app::CompositeEditorRequest{kRowA, 0, kButtonA, false}));
        EXPECT_EQ(openCount(window), 1);
        EXPECT_NE(key.stateImage(ui::ButtonState::Normal).cacheKey(), normalLook.cacheKey())
            << "the key shows that it is being edited";
        const QRect onScreen(key.mapToGlobal(QPoint(0, 0)), key.size());
        EXPECT_EQ(editor.pos(),
                  app::placeBesideButton(onScreen, editor.size(), window.screen()->geometry()));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, kXkbB, 0, 0);
        QApplication::sendEvent(&editor, &press);
        editor.frameButton(app::Tavrik_DlgComposite::FrameButton::Ok).click();
    });
    EXPECT_EQ(openCount(window), 0);
    EXPECT_EQ(stored(0, kRowA), record(keyboard::AssignmentType::SingleKey, 0x30));
    EXPECT_TRUE(key.toolTip().endsWith(QStringLiteral("B)"))) << key.toolTip().toStdString();
    EXPECT_TRUE(key.isAssigned());
    EXPECT_EQ(key.stateImage(ui::ButtonState::Normal).cacheKey(), normalLook.cacheKey());
    EXPECT_TRUE(window.isApplyEnabled());
}

TEST_F(EditorWindowTest, TheWindowClosesTheEditorWhenTheKeyboardGoesAndAtExit) {
    app::CTavrikDlg& window = startShown();
    clickKeyWhileOpen(window, kButtonA, [&](app::Tavrik_DlgComposite& editor) {
        platform::sendWindowMessage(&window, platform::message::DeviceRemoved, 0);
        EXPECT_FALSE(editor.isVisible());
    });
    EXPECT_EQ(openCount(window), 0);

    app::Tavrik_DlgComposite& editor = window.compositeEditor();
    editor.begin({kRowA, 0, kButtonA, false});
    EXPECT_EQ(openCount(window), 1);
    platform::installPrompter(&prompter_);
    EXPECT_FALSE(window.switchProfile(1)) << "no switch while the editor is open";
    EXPECT_EQ(keyboard_.activeProfile(), 0);
    EXPECT_EQ(prompter_.messages().size(), 1u);
    EXPECT_TRUE(window.exitProgram());
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(editor.openCount(), 0);
}

} // namespace
} // namespace tavrik::testing
