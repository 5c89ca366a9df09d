#pragma once
// Every message box and file dialog of the program goes through a Prompter,
// so that model code never touches a window and tests can answer and read them.
// Calls may come from any thread; the Qt implementation shows them on the
// user-interface thread and waits for the answer.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tavrik::platform {

enum class MessageIcon { None, Information, Warning };

struct FileDialogRequest {
    std::u16string defaultExtension; // "fwc"
    // What the name box starts with, possibly after a folder: a name
    // ("New profile") fills it; a pattern ("*.fwc") leaves it empty, the
    // filter showing those files.
    std::u16string initialName;
    std::u16string filter;         // "(*.fwc)|*.fwc|(*.*)|*.*||"
    bool confirmOverwrite = false; // save dialogs: ask before replacing a file
    // The folder the dialog opens in; empty for the folder of initialName.
    std::string startFolder;

    // The dialog of the files with one extension: that extension as the
    // default, "*.<extension>" as the initial name, the filter
    // "(*.<extension>)|*.<extension>|(*.*)|*.*||".
    static FileDialogRequest forExtension(std::u16string_view extension, bool confirmOverwrite,
                                          std::string startFolder = {}) {
        const std::u16string pattern = u"*." + std::u16string(extension);
        return {std::u16string(extension), pattern,
                u"(" + pattern + u")|" + pattern + u"|(*.*)|*.*||", confirmOverwrite,
                std::move(startFolder)};
    }
};

class Prompter {
public:
    virtual ~Prompter() = default;

    // A modal box with an OK button.
    virtual void showMessage(const std::u16string& text, const std::u16string& title = u"",
                             MessageIcon icon = MessageIcon::None) = 0;
    // A Yes/No box; `defaultYes` picks the default button. True for Yes.
    virtual bool askYesNo(const std::u16string& text, bool defaultYes) = 0;
    // File dialogs; the chosen path, or nothing when cancelled.
    virtual std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) = 0;
};

} // namespace tavrik::platform
