#include "app/LightingPanel.h"

#include "ui/CIniFile.h"
#include "ui/SkinPlacement.h"

#include <QComboBox>
#include <QWidget>

namespace tavrik::app {
namespace {

constexpr std::u16string_view kReportRateKeys[] = {u"FUNC_REPORT1", u"FUNC_REPORT2",
                                                   u"FUNC_REPORT3", u"FUNC_REPORT4"};

// The list sits on the skin's dark panel.
QPalette darkPanelPalette(QPalette palette) {
    const QColor face(0x26, 0x2d, 0x35);
    const QColor text(0xd8, 0xde, 0xe6);
    for (const QPalette::ColorRole role : {QPalette::Button, QPalette::Window}) {
        palette.setColor(role, face);
    }
    palette.setColor(QPalette::Base, QColor(0x1b, 0x1f, 0x24));
    for (const QPalette::ColorRole role :
         {QPalette::ButtonText, QPalette::WindowText, QPalette::Text}) {
        palette.setColor(role, text);
    }
    palette.setColor(QPalette::Highlight, QColor(0x17, 0x5f, 0x74));
    return palette;
}

} // namespace

LightingPanel::LightingPanel(QWidget& window, const ui::CIniFile& layout,
                             const ui::ButtonImages& images)
    : QObject(&window), effectList_(new QComboBox(&window)) {
    ui::placeControl(*effectList_, layout, u"CONTROL_XGcombox");
    effectList_->setPalette(darkPanelPalette(effectList_->palette()));
    for (int rate = 0; rate < 4; ++rate) {
        auto* button = new ui::CPngButton(&window);
        ui::placeImageButton(*button, layout, kReportRateKeys[rate], images);
        connect(button, &QAbstractButton::clicked, this, [this, rate] { chooseReportRate(rate); });
        reportRates_[static_cast<std::size_t>(rate)] = button;
    }
}

void LightingPanel::reloadFromKeyboard() {
    // Reading the lighting record and the zone colours of the lighting
    // profile, and refilling the effect list, come with the lighting work.
}

void LightingPanel::sliderMoved(int, int) {
    // Writing the brightness or speed of a moved slider comes with the
    // lighting work.
}

void LightingPanel::chooseReportRate(int) {
    // Writing the report rate comes with the lighting work.
}

} // namespace tavrik::app
