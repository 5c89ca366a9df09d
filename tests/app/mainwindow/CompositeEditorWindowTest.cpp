#include "app/compositeeditor/CompositePlacement.h"
#include "app/compositeeditor/Tavrik_DlgComposite.h"
#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/shared/MainWindowIds.h"
#include "keyboard/PanelKeyList.h"
#include "platform/WindowMessage.h"
#include "tests/app/mainwindow/PanelWindowFixture.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

namespace tavrik::testing {
namespace {

constexpr int kRowA = 0x1E;
constexpr int kButtonA = 1058;
constexpr quint32 kXkbB = 56;

// A press and release of the left button in the middle of `widget`, through
// the application's event filters as the pointer's would come.
void clickWithMouse(QWidget& widget) {
    const QPointF middle = QRectF(widget.rect()).center();
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, middle, widget.mapToGlobal(middle), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }
}

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

// As on Wayland, where the program cannot place windows: the editor is a part
// of the main window, inside its shape, and covers no key it was opened for.
TEST_F(EditorWindowTest, LaidOverTheWindowTheEditorOpensBesideEveryKeyAndClearOfIt) {
    app::CTavrikDlg& window = startShown();
    app::Tavrik_DlgComposite& editor = window.compositeEditor();
    editor.layOverParent();
    ASSERT_TRUE(editor.isLaidOverParent());
    ASSERT_FALSE(window.mask().isEmpty());
    std::vector<int> buttonIds(keyboard::GButtonIds.begin(), keyboard::GButtonIds.end());
    for (const keyboard::PanelKey& key : keyboard::PanelKeyList) {
        buttonIds.push_back(key.buttonId);
    }
    int opened = 0;
    for (const int id : buttonIds) {
        const ui::CPngButton* key = window.keyboardPanel().button(id);
        if (key == nullptr || !key->isVisible() || !key->isEnabled()) {
            continue;
        }
        SCOPED_TRACE(id);
        editor.begin({kRowA, 0, id, false});
        ASSERT_TRUE(editor.isVisible());
        ++opened;
        const QRect onWindow(key->mapTo(&window, QPoint(0, 0)), key->size());
        EXPECT_FALSE(editor.geometry().intersects(onWindow));
        EXPECT_TRUE((QRegion(editor.geometry()) - window.mask()).isEmpty());
        editor.reject();
        EXPECT_FALSE(editor.isVisible());
    }
    EXPECT_GT(opened, 100);
}

TEST_F(EditorWindowTest, LaidOverTheWindowTheEditorKeepsTheRestOfTheWindowsInput) {
    app::CTavrikDlg& window = startShown();
    app::Tavrik_DlgComposite& editor = window.compositeEditor();
    editor.layOverParent();
    // A button of the window that opens nothing modal.
    ui::CPngButton& other = *window.button(app::command::Minimize);
    int otherClicks = 0;
    QObject::connect(&other, &QAbstractButton::clicked, [&] { ++otherClicks; });
    clickKeyWhileOpen(window, kButtonA, [&](app::Tavrik_DlgComposite& open) {
        ASSERT_FALSE(open.isWindow());
        clickWithMouse(other);
        clickWithMouse(*window.keyboardPanel().gButton(0));
        EXPECT_EQ(otherClicks, 0);
        EXPECT_EQ(open.request().controlId, kButtonA);
        // Its own controls take clicks and keys as ever.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, kXkbB, 0, 0);
        QApplication::sendEvent(&open, &press);
        clickWithMouse(open.frameButton(app::Tavrik_DlgComposite::FrameButton::Ok));
        EXPECT_FALSE(open.isVisible());
    });
    EXPECT_EQ(stored(0, kRowA), record(keyboard::AssignmentType::SingleKey, 0x30));
    // Closed, it keeps nothing of the window's input.
    clickWithMouse(other);
    EXPECT_EQ(otherClicks, 1);
}

} // namespace
} // namespace tavrik::testing
