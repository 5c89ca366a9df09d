#include "app/keyboardpanel/ZonePainting.h"

namespace tavrik::app {
namespace {

// Never on, so none of the calls that only come while painting can reach it.
class NoZonePainting final : public ZonePainting {
public:
    bool isPainting() const override { return false; }
    void paintZone(int) override {}
    void leavePainting() override {}
    void restoreLightingDefaults() override {}
};

} // namespace

ZonePainting& noZonePainting() {
    static NoZonePainting none;
    return none;
}

} // namespace tavrik::app
