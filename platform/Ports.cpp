#include "platform/Ports.h"

#include "platform/FileDialogs.h"

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

// Never destroyed, like the set that points to them: the service's threads
// and the workers may still use the ports while the process ends.
MainWindowPort& quietMainWindow() {
    static auto* port = new QuietMainWindow;
    return *port;
}

Prompter& quietPrompter() {
    static auto* port = new QuietPrompter;
    return *port;
}

} // namespace

PortSet& ports() {
    static auto* set = new PortSet{&quietMainWindow(), &quietPrompter()};
    return *set;
}
MainWindowPort& mainWindow() {
    return *ports().mainWindow;
}
Prompter& prompter() {
    return *ports().prompter;
}

void installMainWindowPort(MainWindowPort* port) {
    ports().mainWindow = port != nullptr ? port : &quietMainWindow();
}

void installPrompter(Prompter* prompterToUse) {
    ports().prompter = prompterToUse != nullptr ? prompterToUse : &quietPrompter();
}

void resetPorts() {
    installMainWindowPort(nullptr);
    installPrompter(nullptr);
    // The folder the dialogs remember belongs to the prompter's dialogs.
    resetFileDialogFolder();
}

} // namespace tavrik::platform
