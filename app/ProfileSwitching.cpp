#include "app/ProfileSwitching.h"

#include "app/CTavrik_DlgProfile.h"
#include "app/KeyboardPanel.h"
#include "app/MainWindowIds.h"
#include "app/ProfileButtons.h"
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
        if (!promptGuardFlag.exchange(true)) {
            askToSaveChanges();
        }
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

void ProfileSwitching::askToSaveChanges() {
    if (platform::prompter().askYesNo(text::languageText("PROFILE_SELECT_PROMPT"), false)) {
        platform::sendCommand(&window_, command::Apply);
        return;
    }
    platform::mainWindow().setApplyEnabled(false);
    if (device::readActiveProfile() >= 0) {
        sync::restoreFromWorkingFile();
    }
}

void ProfileSwitching::refreshAfterSwitch(int) {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    keys_.refreshDescriptions(true);
}

} // namespace tavrik::app
