#pragma once
// The lighting panel of the main window: the effect list (CONTROL_XGcombox)
// and the report-rate buttons (FUNC_REPORT1..FUNC_REPORT4) placed from the
// skin, and which profile's lighting the panel stands for.
//
// Reading the lighting from the keyboard, the effect names in the list, the
// sliders and pictures of the effect options and the report rate come with
// the lighting work; until then the panel shows the skin's empty boxes and
// the list stays empty.

#include "ui/CPngButton.h"

#include <QObject>
#include <array>

class QComboBox;
class QWidget;

namespace tavrik::ui {
class CIniFile;
}

namespace tavrik::app {

class LightingPanel final : public QObject {
    Q_OBJECT
public:
    LightingPanel(QWidget& window, const ui::CIniFile& layout, const ui::ButtonImages& images);

    QComboBox* effectList() const { return effectList_; }
    ui::CPngButton* reportRateButton(int rate) const {
        return reportRates_.at(static_cast<std::size_t>(rate));
    }

    // 0..2: the profile whose lighting the panel shows; the profile buttons
    // and the keyboard's profile switch set it.
    int lightingProfile() const { return lightingProfile_; }
    void setLightingProfile(int profile) { lightingProfile_ = profile; }

    // Reads the lighting of the lighting profile from the keyboard and shows
    // it, refilling the effect list.
    void reloadFromKeyboard();
    // A picture slider moved to `position`.
    void sliderMoved(int controlId, int position);
    // Report-rate button `rate` (0..3) was pressed.
    void chooseReportRate(int rate);

private:
    QComboBox* effectList_;
    std::array<ui::CPngButton*, 4> reportRates_{};
    int lightingProfile_ = 0;
};

} // namespace tavrik::app
