#include "app/keyboardpanel/CompositeEditorOpener.h"

namespace tavrik::app {
namespace {

class NoCompositeEditor final : public CompositeEditorOpener {
public:
    void open(const CompositeEditorRequest&) override {}
    int openCount() const override { return 0; }
};

} // namespace

CompositeEditorOpener& noCompositeEditor() {
    static NoCompositeEditor none;
    return none;
}

} // namespace tavrik::app
