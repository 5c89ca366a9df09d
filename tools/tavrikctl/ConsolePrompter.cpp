#include "tools/tavrikctl/ConsolePrompter.h"

#include "platform/Unicode.h"

#include <iostream>

namespace tavrik::tools {

void ConsolePrompter::showMessage(const std::u16string& text, const std::u16string&,
                                  platform::MessageIcon) {
    std::cerr << platform::toUtf8(text) << '\n';
}

bool ConsolePrompter::askYesNo(const std::u16string& text, bool) {
    std::cerr << platform::toUtf8(text) << " -> No\n";
    return false;
}

std::optional<std::string> ConsolePrompter::chooseOpenFile(const platform::FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> ConsolePrompter::chooseSaveFile(const platform::FileDialogRequest&) {
    return std::nullopt;
}

} // namespace tavrik::tools
