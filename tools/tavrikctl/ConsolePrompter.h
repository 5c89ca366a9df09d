#pragma once
// The prompter of a command-line tool: messages go to standard error, every
// question is answered No and no file dialog is ever shown.

#include "platform/Prompter.h"

namespace tavrik::tools {

class ConsolePrompter final : public platform::Prompter {
public:
    void showMessage(const std::u16string& text, const std::u16string& title,
                     platform::MessageIcon icon) override;
    bool askYesNo(const std::u16string& text, bool defaultYes) override;
    std::optional<std::string> chooseOpenFile(const platform::FileDialogRequest& request) override;
    std::optional<std::string> chooseSaveFile(const platform::FileDialogRequest& request) override;
};

} // namespace tavrik::tools
