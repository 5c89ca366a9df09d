#pragma once
// The skinned dialog every window of the program is built on: a frameless
// window whose background and shape come from section "SCREEN" of its layout
// file ("Main": background image, "Mask": shape image, by default the
// background itself), which moves when dragged anywhere on its own surface.

#include "ui/CIniFile.h"
#include "ui/SkinImage.h"

#include <QDialog>
#include <QImage>
#include <QRegion>
#include <future>
#include <string>

namespace tavrik::ui {

class CBaseDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the layout file and applies the skin: the window takes the
    // background image's size (keeping its position), and the mask's shape
    // when it is first shown (a window that stays hidden never reads it).
    explicit CBaseDialog(std::string layoutFile, QWidget* parent = nullptr);

    const CIniFile& layout() const { return layout_; }
    // The folder of the layout file, with a trailing '/'.
    std::string skinFolder() const { return layout_.folder(); }
    // False when the background image could not be loaded; the window then
    // keeps its size and paints nothing of the skin.
    bool hasBackground() const { return !background_.isNull(); }
    const QImage& background() const { return background_.image(); }
    // Starts reading the mask's shape beside the caller's thread, for a
    // window that will probably show soon: the first show then finds it
    // ready instead of reading a full-size bitmap on the way.
    void prepareShape();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void applySkin();

    CIniFile layout_;
    SkinImage background_;
    // The mask image, until the shape has been applied.
    std::string maskPath_;
    // The shape read by prepareShape, until the first show takes it.
    std::future<QRegion> preparedShape_;
};

} // namespace tavrik::ui
