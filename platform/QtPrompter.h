#pragma once
// The Prompter of the running program: Qt message boxes and file dialogs,
// always shown on the user-interface thread (a worker's call waits there).

#include "platform/Prompter.h"

class QString;
class QWidget;

namespace tavrik::platform {

class QtPrompter final : public Prompter {
public:
    // Boxes are owned by `parent` when one is given (it may be null).
    explicit QtPrompter(QWidget* parent = nullptr);

    void showMessage(const std::u16string& text, const std::u16string& title,
                     MessageIcon icon) override;
    bool askYesNo(const std::u16string& text, bool defaultYes) override;
    std::optional<std::string> chooseOpenFile(const FileDialogRequest& request) override;
    std::optional<std::string> chooseSaveFile(const FileDialogRequest& request) override;

private:
    QWidget* parent_;
};

// "(*.fwc)|*.fwc|(*.*)|*.*||" -> "(*.fwc);;(*)"; "Profiles|*.fwc||" -> "Profiles (*.fwc)"
QString qtFilterOf(const std::u16string& filter);

} // namespace tavrik::platform
