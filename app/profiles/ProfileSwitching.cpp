#include "app/profiles/ProfileSwitching.h"

#include "app/keyboardpanel/KeyboardPanel.h"
#include "app/profiles/CTavrik_DlgProfile.h"
#include "app/profiles/ProfileButtons.h"
#include "app/shared/MainWindowIds.h"
#include "device/Commands.h"
#include "platform/Ports.h"
#include "platform/WindowMessage.h"
#include "sync/DataSets.h"
#include "sync/ProfileActivation.h"
#include "text/LanguageTexts.h"

#include <atomic>

namespace tavrik::app {
namespace {

// Process-wide, as a switch may start another one while its question is
// handled.
std::atomic<bool> promptGuardFlag{false};

} // namespace

ProfileSwitching::ProfileSwitching(QObject& window, KeyboardPanel& keys, ProfileButtons& profiles)
    : QObject(&window), window_(window), keys_(keys), profiles_(profiles) {}

bool ProfileSwitching::promptGuard() {
    return promptGuardFlag.load();
}

bool ProfileSwitching::switchProfile(int index) {
    const int profile = index >= sync::kProfileCount ? 0 : index;
    if (keys_.compositeEditorOpener().openCount() > 0) {
        platform::prompter().showMessage(text::languageText("PROFILE_SEELCT_PROMPT2"), u"",
                                         platform::MessageIcon::None);
        return false;
    }
    if (CTavrik_DlgProfile::isModified() || platform::mainWindow().isApplyEnabled()) {
        askToSaveChanges(window_);
        promptGuardFlag.store(false);
        sync::setActiveProfile(profile);
    } else {
        sync::setActiveProfile(profile);
        CTavrik_DlgProfile::showActiveProfile(profile);
    }
    refreshAfterSwitch(profile);
    profiles_.updateProfileCaption();
    return true;
}

bool ProfileSwitching::askToSaveChanges(QObject& window) {
    if (promptGuardFlag.exchange(true)) {
        return false;
    }
    const bool save =
        platform::prompter().askYesNo(text::languageText("PROFILE_SELECT_PROMPT"), false);
    if (save) {
        platform::sendCommand(&window, command::Apply);
    } else {
        platform::mainWindow().setApplyEnabled(false);
        if (device::readActiveProfile() >= 0) {
            sync::discardChanges();
        }
    }
    promptGuardFlag.store(false);
    return save;
}

void ProfileSwitching::refreshAfterSwitch(int) {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    keys_.refreshDescriptions(true);
}

} // namespace tavrik::app
