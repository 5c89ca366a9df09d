#pragma once
// The one way the main window opens the composite editor: a click on a key
// of the on-screen keyboard (KeyboardPanel::clickKey) hands the editor the
// key's row and returns when the editor has closed; profile switching reads
// the open count and refuses to switch while the editor is open.
//
// The main window installs its composite editor here when it builds its
// panels (MainWindowCompositeEditor); tests put stand-ins in its place
// (CTavrikDlg::setCompositeEditorOpener). Where none is installed the panel
// uses noCompositeEditor(), which opens nothing and is never open.

namespace tavrik::app {

struct CompositeEditorRequest {
    // The key's row in a layer: its KeyIndex, or 256 + slot for a G key.
    int row = 0;
    // Added as page * 512 to the row; the on-screen keyboard always asks for 0.
    int page = 0;
    // The id of the clicked button on the main window.
    int controlId = 0;
    // Set when the click came from G9's id, which the macro button also uses:
    // the editor opens for macros.
    bool macroButton = false;

    friend bool operator==(const CompositeEditorRequest&, const CompositeEditorRequest&) = default;
};

class CompositeEditorOpener {
public:
    virtual ~CompositeEditorOpener() = default;

    // Opens the editor modally for the request; returns once it is closed.
    virtual void open(const CompositeEditorRequest& request) = 0;
    // Above 0 while the editor is open.
    virtual int openCount() const = 0;
};

// The opener of a program without an editor: opens nothing, count 0.
CompositeEditorOpener& noCompositeEditor();

} // namespace tavrik::app
