#pragma once
// The main window as the model and the workers see it (MainWindowPort). The
// window itself works on the user-interface thread only; the bridge hands
// each call from another thread over to that thread: messages are sent
// (waiting for the handler) or posted, hiding the window and setting the tray
// icon wait until done, everything else is queued. The state that workers
// read (initialised, last normal tray icon, Apply enabled) comes straight
// from the window's atomics.
//
// The bridge lives as long as the process, so a worker or a service thread
// that still holds it after the window has gone meets a quiet port, never a
// destroyed object. The window attaches itself when it publishes itself and
// detaches when it is destroyed; detaching waits, serving the window's events
// meanwhile, until every call in progress and every worker thread have ended.

#include "platform/MainWindowPort.h"

#include <atomic>

namespace tavrik::app {

class CTavrikDlg;

class MainWindowBridge final : public platform::MainWindowPort {
public:
    void attach(CTavrikDlg& window);
    // Nothing when `window` is not the attached one.
    void detach(CTavrikDlg& window);
    bool isAttached() const { return window_.load() != nullptr; }

    std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                              std::intptr_t lParam = 0) override;
    void postMessage(std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam = 0) override;
    void setTimer(std::uint32_t timerId, std::uint32_t milliseconds) override;
    void killTimer(std::uint32_t timerId) override;
    bool isInitialised() const override;
    void hideWindow() override;
    void setTrayIcon(int iconId) override;
    int lastNormalTrayIcon() const override;
    void setApplyEnabled(bool enabled) override;
    bool isApplyEnabled() const override;
    void refreshKeyButtons() override;
    void setBusyIndicatorVisible(bool visible) override;

private:
    class Call;

    // Runs `work` with the window on its thread: at once on that thread,
    // otherwise waiting for it (blocking) or queued.
    template <typename Work> void onWindow(Work work, bool blocking);

    std::atomic<CTavrikDlg*> window_{nullptr};
    mutable std::atomic<int> callsInProgress_{0};
};

// The process's bridge; never destroyed.
MainWindowBridge& mainWindowBridge();

} // namespace tavrik::app
