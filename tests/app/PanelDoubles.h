#pragma once
// Stand-ins for the composite editor and the lighting editor's zone painting,
// which the main window reaches through its two seams: they record what
// reaches them.

#include "app/CompositeEditorOpener.h"
#include "app/ZonePainting.h"

#include <functional>
#include <vector>

namespace tavrik::testing {

class RecordingEditor final : public app::CompositeEditorOpener {
public:
    void open(const app::CompositeEditorRequest& request) override {
        requests.push_back(request);
        ++open_;
        if (whileOpen) {
            whileOpen();
        }
        --open_;
    }
    int openCount() const override { return open_ + (keptOpen ? 1 : 0); }

    std::vector<app::CompositeEditorRequest> requests;
    // Runs while the editor is open.
    std::function<void()> whileOpen;
    // An editor that stays open (count 1) without a request.
    bool keptOpen = false;

private:
    int open_ = 0;
};

class RecordingZonePainting final : public app::ZonePainting {
public:
    bool isPainting() const override { return painting; }
    void paintZone(int controlId) override { painted.push_back(controlId); }
    void leavePainting() override {
        painting = false;
        ++left;
    }
    void restoreLightingDefaults() override { ++restored; }

    bool painting = false;
    std::vector<int> painted;
    int left = 0;
    int restored = 0;
};

} // namespace tavrik::testing
