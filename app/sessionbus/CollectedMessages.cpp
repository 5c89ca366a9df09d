#include "app/sessionbus/CollectedMessages.h"

#include "platform/Ports.h"

namespace tavrik::app {

CollectedMessages::CollectedMessages() : previous_(platform::prompter()) {
    platform::installPrompter(this);
}

CollectedMessages::~CollectedMessages() {
    platform::installPrompter(&previous_);
}

void CollectedMessages::showMessage(const std::u16string& text, const std::u16string&,
                                    platform::MessageIcon) {
    const std::lock_guard lock(mutex_);
    messages_.push_back(text);
}

bool CollectedMessages::askYesNo(const std::u16string&, bool) {
    return false;
}

std::optional<std::string> CollectedMessages::chooseOpenFile(const platform::FileDialogRequest&) {
    return std::nullopt;
}

std::optional<std::string> CollectedMessages::chooseSaveFile(const platform::FileDialogRequest&) {
    return std::nullopt;
}

QString CollectedMessages::text() const {
    const std::lock_guard lock(mutex_);
    QString joined;
    for (const std::u16string& message : messages_) {
        joined += (joined.isEmpty() ? QString() : QStringLiteral(" ")) +
                  QString::fromStdU16String(message).trimmed();
    }
    return joined;
}

} // namespace tavrik::app
