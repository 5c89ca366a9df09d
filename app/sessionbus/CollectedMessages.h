#pragma once
// What the program would say in message boxes while it does what the session
// bus asked: gathered instead of shown, for the method's answer, since a
// script's request must not stop at a dialog nobody sees coming. Questions
// are answered No. For as long as it lives; keyboard work may say its part
// from a worker thread.

#include "platform/Prompter.h"

#include <QString>
#include <mutex>
#include <string>
#include <vector>

namespace tavrik::app {

class CollectedMessages final : public platform::Prompter {
public:
    CollectedMessages();
    ~CollectedMessages() override;
    CollectedMessages(const CollectedMessages&) = delete;
    CollectedMessages& operator=(const CollectedMessages&) = delete;

    void showMessage(const std::u16string& text, const std::u16string& title,
                     platform::MessageIcon icon) override;
    bool askYesNo(const std::u16string& text, bool defaultYes) override;
    std::optional<std::string> chooseOpenFile(const platform::FileDialogRequest&) override;
    std::optional<std::string> chooseSaveFile(const platform::FileDialogRequest&) override;

    // Every message so far, one after the other; empty when none was said.
    QString text() const;

private:
    platform::Prompter& previous_;
    mutable std::mutex mutex_;
    std::vector<std::u16string> messages_;
};

} // namespace tavrik::app
