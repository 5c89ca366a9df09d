#pragma once
// The main window's answers to the session bus interface: the state it
// publishes, and each command done as the window's own button or menu item
// does it, but with every refusal and failure answered by an error instead
// of a dialog (CollectedMessages.h gathers what would have been shown).

#include "app/sessionbus/SessionBusActions.h"

#include <functional>
#include <optional>

namespace tavrik::app {

class CTavrikDlg;

class MainWindowBusActions final : public SessionBusActions {
public:
    explicit MainWindowBusActions(CTavrikDlg& window) : window_(window) {}

    unsigned activeProfile() const override;
    bool isConnected() const override;

    void setActiveProfile(unsigned profile, const BusReply& reply) override;
    void show(const BusReply& reply) override;
    void importProfile(const QString& path, const BusReply& reply) override;
    void exportProfile(const QString& path, const BusReply& reply) override;
    void backUp(const QString& path, const BusReply& reply) override;
    void restore(const QString& path, const BusReply& reply) override;

    const ApplicationRules& applicationRules() const override;
    std::optional<RuleChoice> applicationRuleInForce() const override;
    bool changeApplicationRules(const ApplicationRules& rules) override;
    void focusChanged(const FocusedApplication& application) override;

private:
    // True when keyboard work is under way: `again` then runs once it has
    // ended, and the caller's answer waits with it.
    bool waitsForWork(std::function<void()> again);
    // The refusal of a command that would change the keyboard's setup now,
    // if any: no keyboard, an open editor, unapplied changes.
    std::optional<BusResult> refusalOfChange(const char* editorText) const;

    CTavrikDlg& window_;
};

} // namespace tavrik::app
