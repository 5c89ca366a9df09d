#pragma once
// The pictures of the lighting panel, each the size of the control that
// shows it (Main.ini): the lighting switch, the direction pictures of the
// three image pairs, the preset colours, the random-colour switch, the
// painting tool, the two sliders at each position and the busy frames.

#include "tools/skingen/SkinTypes.h"

#include <QImage>
#include <vector>

namespace tavrik::skingen {

struct NamedImage {
    QString file;
    QImage image;
};

std::vector<NamedImage> lightingBitmaps(const ControlList& mainControls);

} // namespace tavrik::skingen
