#pragma once
// The skinned dialog every window of the program is built on: a frameless
// window whose background and shape come from section "SCREEN" of its layout
// file ("Main": background image, "Mask": shape image, by default the
// background itself), which moves when dragged anywhere on its own surface.
// Its size is fixed, so that tiling window managers float it.
//
// X11 cuts a window to its mask. Wayland limits only input to it: there the
// window has a translucent background and paints the skin inside the mask
// alone, so that what the mask cuts away shows what lies beneath.

#include "ui/CIniFile.h"
#include "ui/SkinImage.h"

#include <QDialog>
#include <QImage>
#include <QRegion>
#include <future>
#include <optional>
#include <string>
#include <string_view>

namespace tavrik::ui {

class CBaseDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the layout file and applies the skin: the window takes the
    // background image's size as its fixed size (keeping its position), and
    // the mask's shape when it is first shown (a window that stays hidden
    // never reads it).
    explicit CBaseDialog(std::string layoutFile, QWidget* parent = nullptr);

    // Whether the window paints its skin inside its mask alone on a
    // translucent background; by default where the platform does not cut
    // windows to their masks (masksCutWindows). Takes effect before the
    // window is first shown.
    void setPaintedInsideMaskOnly(bool insideOnly);
    bool isPaintedInsideMaskOnly() const { return insideMaskOnly_; }
    // Whether the windowing system of `platformName` (as
    // QGuiApplication::platformName() gives it) cuts a window to its mask:
    // every one but Wayland's.
    static bool masksCutWindows(std::string_view platformName);

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
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applySkin();
    void applyShape();

    CIniFile layout_;
    SkinImage background_;
    // The mask image, until the shape has been applied.
    std::string maskPath_;
    // The shape read by prepareShape, until the first show takes it.
    std::future<QRegion> preparedShape_;
    bool insideMaskOnly_ = false;
    // A dialog laid into another window moves inside it: where the drag
    // took it, in the parent's coordinates, less the pointer's place then.
    std::optional<QPoint> dragOffset_;
};

} // namespace tavrik::ui
