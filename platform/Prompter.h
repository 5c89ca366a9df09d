#pragma once
// Every message box and file dialog of the program goes through a Prompter,
// so that model code never touches a window and tests can answer and read them.
// Calls may come from any thread; the Qt implementation shows them on the
// user-interface thread and waits for the answer.

#include <optional>
#include <string>
#include <string_view>

namespace tavrik::platform {

enum class MessageIcon { None, Information, Warning };

struct FileDialogRequest {
    std::u16string defaultExtension; // "fwc"
    std::u16string initialName;      // "*.fwc"
    std::u16string filter;           // "(*.fwc)|*.fwc|(*.*)|*.*||"
    bool confirmOverwrite = false;   // save dialogs: ask before replacing a file

    // The dialog of the files with one extension: that extension as the
    // default, "*.<extension>" as the initial name, the filter
    // "(*.<extension>)|*.<extension>|(*.*)|*.*||".
    static FileDialogRequest forExtension(std::u16string_view extension, bool confirmOverwrite) {
        const std::u16string pattern = u"*." + std::u16string(extension);
        return {std::u16string(extension), pattern,
                u"(" + pattern + u")|" + pattern + u"|(*.*)|*.*||", confirmOverwrite};
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
