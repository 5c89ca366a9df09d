#pragma once
// The main window with the virtual keyboard, for tests of its lighting
// panel: the lighting editor switched on or off in zovu.ini, the keyboard
// offering the effects a test asks for, and the keyboard's lighting at hand.
// The lighting panel is the window's zone painting; the composite editor
// and the prompter are the recording ones of PanelWindowTest.

#include "app/lightingpanel/LightingPanel.h"
#include "device/Commands.h"
#include "lighting/LightingRecord.h"
#include "tests/app/mainwindow/PanelWindowFixture.h"
#include "tests/platform/IniTestFiles.h"
#include "ui/SkinImageCache.h"

#include <QMouseEvent>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace tavrik::testing {

using Bytes = std::vector<std::uint8_t>;

class LightingPanelTest : public PanelWindowTest {
protected:
    void TearDown() override {
        ::unsetenv("VEZAROR_VIRTUAL_EFFECTS");
        PanelWindowTest::TearDown();
    }

    // Starts the window with the lighting editor switched on or off and
    // waits until the panel shows the keyboard's lighting.
    app::LightingPanel& startPanel(bool editorOn = true, const char* effects = nullptr) {
        std::filesystem::create_directories(documents());
        writeBytes(documents() + "zovu.ini",
                   editorOn ? "[KEYCOLOR]\nDengCheck=1\n" : "[KEYCOLOR]\nDengCheck=0\n");
        if (effects != nullptr) {
            ::setenv("VEZAROR_VIRTUAL_EFFECTS", effects, 1);
        }
        app::CTavrikDlg& window = start({QStringLiteral("/Start")});
        EXPECT_TRUE(
            serveEventsUntil([&] { return window.lightingPanel().effectList()->count() > 0; }));
        window.setCompositeEditorOpener(&editor_);
        platform::installPrompter(&prompter_);
        return window.lightingPanel();
    }

    std::string documents() const { return folder_.file("home/Documents/Tavrik_09A/"); }
    std::string skins() const { return programFolder() + "Skins/"; }
    Bytes lighting() { return keyboard_.area("lighting"); }
    QImage bitmap(const std::string& name) const { return ui::skinImage(skins() + name); }

    bool shown(app::LightingPanel& panel, std::u16string_view key) const {
        QWidget* control = panel.controls().control(key);
        return control != nullptr && control->isVisibleTo(window_.get());
    }

    // Chooses list entry `index` as a user does.
    static void chooseEffect(app::LightingPanel& panel, int index) {
        panel.effectList()->setCurrentIndex(index);
        emit panel.effectList()->activated(index);
    }

    static void pressAt(QWidget& widget, int x) {
        const QPointF at(x, widget.height() / 2);
        QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &press);
    }

    // Puts a byte into the lighting of the keyboard as another program
    // would, and tells the window the lighting changed.
    void changeOnTheKeyboard(int profile, std::size_t offset, std::uint8_t value) {
        const std::uint8_t bytes[] = {value};
        ASSERT_EQ(device::beginWrite(), 1);
        ASSERT_EQ(device::writeParameters(bytes, lighting::recordAddress(profile) +
                                                     static_cast<std::uint32_t>(offset)),
                  1);
        ASSERT_EQ(device::endWrite(), 1);
        keyboard_.control("press code 1025");
    }
};

} // namespace tavrik::testing
