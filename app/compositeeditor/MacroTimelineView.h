#pragma once
// The timeline under the action list: what the keyboard will play of the
// selected macro. A line of text gives the number of actions, the length of
// one play with its pauses and the length of all cycles; a strip beneath it
// draws the presses and releases over the time of one play, each key held
// as a bar from its press to its release, and marks the selected action.

#include "macro/MacroTimeline.h"

#include <QWidget>
#include <optional>
#include <span>

namespace tavrik::app {

class MacroTimelineView final : public QWidget {
    Q_OBJECT
public:
    explicit MacroTimelineView(QWidget* parent = nullptr);

    // Shows the actions with the cycles; `selected` is marked.
    void showMacro(std::span<const macro::MacroAction> actions, int cycles,
                   std::optional<int> selected);
    // Shows nothing (no macro selected).
    void clear();

    const macro::MacroTimeline& timeline() const { return timeline_; }
    QString summary() const { return summary_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawStrip(QPainter& painter, const QRect& strip) const;

    std::vector<macro::MacroAction> actions_;
    macro::MacroTimeline timeline_;
    std::optional<int> selected_;
    QString summary_;
};

} // namespace tavrik::app
