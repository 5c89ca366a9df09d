#include "platform/Ports.h"

namespace tavrik::platform {
namespace {

class QuietMainWindow final : public MainWindowPort {
public:
    std::intptr_t sendMessage(std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }
    void postMessage(std::uint32_t, std::uintptr_t, std::intptr_t) override {}
    void setTimer(std::uint32_t, std::uint32_t) override {}
    void killTimer(std::uint32_t) override {}
    bool isInitialised() const override { return true; }
    void hideWindow() override {}
    void setTrayIcon(int iconId) override {
        if (iconId == trayicon::NoKeyboard || iconId == trayicon::KeyboardPresent) {
            lastNormal_ = iconId;
        }
    }
    int lastNormalTrayIcon() const override { return lastNormal_; }
    void setApplyEnabled(bool enabled) override { applyEnabled_ = enabled; }
    bool isApplyEnabled() const override { return applyEnabled_; }
    void refreshKeyButtons() override {}
    void setBusyIndicatorVisible(bool) override {}

private:
    int lastNormal_ = trayicon::NoKeyboard;
    bool applyEnabled_ = false;
};

class QuietPrompter final : public Prompter {
public:
    void showMessage(const std::u16string&, const std::u16string&, MessageIcon) override {}
    bool askYesNo(const std::u16string&, bool defaultYes) override { return defaultYes; }
    std::optional<std::string> chooseOpenFile(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> chooseSaveFile(const FileDialogRequest&) override { return {}; }
};

QuietMainWindow quietMainWindow;
QuietPrompter quietPrompter;
PortSet portSet{&quietMainWindow, &quietPrompter};

} // namespace

PortSet& ports() { return portSet; }
MainWindowPort& mainWindow() { return *portSet.mainWindow; }
Prompter& prompter() { return *portSet.prompter; }

void installMainWindowPort(MainWindowPort* port) {
    portSet.mainWindow = port != nullptr ? port : &quietMainWindow;
}

void installPrompter(Prompter* prompterToUse) {
    portSet.prompter = prompterToUse != nullptr ? prompterToUse : &quietPrompter;
}

void resetPorts() {
    installMainWindowPort(nullptr);
    installPrompter(nullptr);
}

} // namespace tavrik::platform
