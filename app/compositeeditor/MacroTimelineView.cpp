#include "app/compositeeditor/MacroTimelineView.h"

#include "keyboard/KeyTable.h"
#include "ui/LanguageQText.h"

#include <QPainter>
#include <algorithm>
#include <map>

namespace tavrik::app {
namespace {

constexpr int kTextHeight = 16;
const QColor kStripBackground(0x0f, 0x11, 0x14);
const QColor kStripEdge(0x2d, 0x32, 0x39);
const QColor kHeld(0x17, 0x86, 0xa3);
const QColor kPress(0x2b, 0xc4, 0xe8);
const QColor kRelease(0xf2, 0xa1, 0x2c);
const QColor kSelected(0xff, 0xff, 0xff);
const QColor kText(0xdf, 0xe5, 0xec);

} // namespace

MacroTimelineView::MacroTimelineView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void MacroTimelineView::showMacro(std::span<const macro::MacroAction> actions, int cycles,
                                  std::optional<int> selected) {
    actions_.assign(actions.begin(), actions.end());
    timeline_ = macro::timelineOf(actions, cycles);
    selected_ = selected;
    summary_ = ui::qText(macro::timelineSummary(timeline_));
    setToolTip(summary_);
    update();
}

void MacroTimelineView::clear() {
    actions_.clear();
    timeline_ = {};
    selected_.reset();
    summary_.clear();
    setToolTip({});
    update();
}

void MacroTimelineView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(kText);
    painter.drawText(QRect(0, 0, width(), kTextHeight), Qt::AlignLeft | Qt::AlignVCenter, summary_);
    drawStrip(painter, QRect(0, kTextHeight + 2, width(), height() - kTextHeight - 2));
}

void MacroTimelineView::drawStrip(QPainter& painter, const QRect& strip) const {
    painter.fillRect(strip, kStripBackground);
    painter.setPen(kStripEdge);
    painter.drawRect(strip.adjusted(0, 0, -1, -1));
    if (actions_.empty()) {
        return;
    }
    const QRect inner = strip.adjusted(3, 3, -3, -3);
    // A macro of no length still shows its actions, side by side.
    const double span = timeline_.length > 0 ? static_cast<double>(timeline_.length) : 1.0;
    const auto xOf = [&](std::size_t action) {
        const double at = timeline_.length > 0
                              ? static_cast<double>(timeline_.startTimes[action])
                              : static_cast<double>(action) / static_cast<double>(actions_.size());
        return inner.left() + static_cast<int>(at / span * (inner.width() - 1));
    };
    // Bars of held keys, from each press to the release of the same key.
    std::map<keyboard::KeyCode, std::size_t> pressedAt;
    const int barTop = inner.top() + inner.height() / 3;
    const int barHeight = std::max(2, inner.height() / 3);
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        const macro::MacroAction& action = actions_[i];
        if (action.direction == macro::kPress) {
            pressedAt.emplace(action.keyCode, i);
        } else if (const auto press = pressedAt.find(action.keyCode); press != pressedAt.end()) {
            const int left = xOf(press->second);
            painter.fillRect(QRect(left, barTop, std::max(1, xOf(i) - left), barHeight), kHeld);
            pressedAt.erase(press);
        }
    }
    for (const auto& [key, press] : pressedAt) {
        const int left = xOf(press);
        painter.fillRect(QRect(left, barTop, inner.right() - left + 1, barHeight), kHeld);
    }
    // A tick for every action: presses from the top, releases from the bottom.
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        const bool press = actions_[i].direction == macro::kPress;
        painter.setPen(press ? kPress : kRelease);
        const int x = xOf(i);
        if (press) {
            painter.drawLine(x, inner.top(), x, inner.center().y());
        } else {
            painter.drawLine(x, inner.center().y(), x, inner.bottom());
        }
    }
    if (selected_ && *selected_ >= 0 && static_cast<std::size_t>(*selected_) < actions_.size()) {
        painter.setPen(QPen(kSelected, 1, Qt::DotLine));
        const int x = xOf(static_cast<std::size_t>(*selected_));
        painter.drawLine(x, strip.top() + 1, x, strip.bottom() - 1);
    }
}

} // namespace tavrik::app
