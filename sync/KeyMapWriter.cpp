#include "sync/KeyMapWriter.h"

#include "device/Commands.h"
#include "device/DeviceState.h"
#include "keyboard/KeyMapCodec.h"
#include "macro/MacroAreaImage.h"
#include "macro/MacroList.h"
#include "platform/Ports.h"
#include "sync/DataSets.h"
#include "sync/DeviceMemory.h"
#include "text/LanguageTexts.h"

#include <new>
#include <optional>
#include <vector>

namespace tavrik::sync {
namespace {

struct PageToSend {
    int profile;
    keyboard::KeyMapLayer page;
};

struct MacroAreaPlan {
    std::size_t size = 0;
    bool namesIncluded = false;
};

void showText(const char* key) {
    platform::prompter().showMessage(text::languageText(key));
}

// The size of the macro area to send and whether names go with it; none when
// the macros do not fit even without names.
std::optional<MacroAreaPlan> planMacroArea(const macro::MacroList& macros) {
    const macro::MacroAreaSizes sizes = macro::measureMacroAreaImage(macros);
    const std::size_t capacity = sync::macroCapacity();
    if (sizes.withoutNames > capacity) {
        return std::nullopt;
    }
    if (sizes.withNames <= capacity) {
        return MacroAreaPlan{sizes.withNames, true};
    }
    return MacroAreaPlan{sizes.withoutNames, false};
}

keyboard::MacroIndexLookup macroIndexIn(const macro::MacroList& macros) {
    return [&macros](std::uint16_t id) { return macro::macroIndexOfId(macros, id); };
}

// Whether the snapshot's page of `profile` differs from the one the keyboard
// was last known to hold.
bool differsFromKeyboard(const sync::ApplySnapshot& snapshot, const sync::WorkingSet& keyboard,
                         int profile, const keyboard::KeyMapLayer& layout) {
    return buildKeyMapLayer(snapshot.table, profile, layout, macroIndexIn(snapshot.macros)) !=
           buildKeyMapLayer(keyboard.table, profile, layout, macroIndexIn(keyboard.macros));
}

std::vector<int> profilesToSend(const sync::ApplySnapshot& snapshot, bool allProfiles) {
    if (allProfiles) {
        return {0, 1, 2};
    }
    const int active = device::readActiveProfile();
    if (active < 0 || active >= device::kKeyMapPageCount) {
        return {};
    }
    std::vector<int> profiles{active};
    // The caller holds the working-set lock, which guards the copy.
    const std::optional<sync::WorkingSet>& keyboard = sync::keyboardCopy();
    if (!keyboard) {
        return profiles;
    }
    const keyboard::KeyMapLayer layout = sync::defaultLayout();
    for (int profile = 0; profile < device::kKeyMapPageCount; ++profile) {
        if (profile != active && differsFromKeyboard(snapshot, *keyboard, profile, layout)) {
            profiles.push_back(profile);
        }
    }
    return profiles;
}

std::vector<PageToSend> buildPages(const sync::ApplySnapshot& snapshot,
                                   const std::vector<int>& profiles) {
    // Positions come from the snapshot's own list, which the macro area is
    // built from, so a page always names macros of the area sent with it.
    const keyboard::MacroIndexLookup macroIndex = macroIndexIn(snapshot.macros);
    const keyboard::KeyMapLayer layout = sync::defaultLayout();
    std::vector<PageToSend> pages;
    for (const int profile : profiles) {
        if (auto page = buildKeyMapLayer(snapshot.table, profile, layout, macroIndex)) {
            pages.push_back({profile, *page});
        }
    }
    return pages;
}

bool sendSequence(const std::vector<std::uint8_t>& area, const std::vector<PageToSend>& pages) {
    bool allWritten = device::beginWrite() == device::result::Success;
    allWritten = device::writeMacroArea(area) == device::result::Success && allWritten;
    for (const PageToSend& page : pages) {
        allWritten = device::writeKeyMapPage(page.page, page.profile) == device::result::Success &&
                     allWritten;
    }
    allWritten = device::endWrite() == device::result::Success && allWritten;
    return allWritten;
}

} // namespace

KeyMapWriteResult writeKeyMap(bool allProfiles) {
    const sync::DataSetLock lock = sync::lockApplySnapshot();
    const sync::ApplySnapshot& snapshot = sync::applySnapshot();

    const std::optional<MacroAreaPlan> plan = planMacroArea(snapshot.macros);
    if (!plan) {
        showText("EXTRA_MACRO_TOO_LONG");
        return KeyMapWriteResult::MacrosTooLarge;
    }
    const std::vector<int> profiles = profilesToSend(snapshot, allProfiles);
    if (profiles.empty()) {
        return KeyMapWriteResult::NoActiveProfile;
    }
    std::vector<std::uint8_t> area;
    try {
        area.resize(plan->size);
    } catch (const std::bad_alloc&) {
        return KeyMapWriteResult::Failed;
    }
    if (!macro::buildMacroAreaImage(snapshot.macros, area, plan->namesIncluded)) {
        return KeyMapWriteResult::Failed;
    }
    const std::vector<PageToSend> pages = buildPages(snapshot, profiles);
    const bool written = sendSequence(area, pages);
    if (!plan->namesIncluded) {
        showText("EXTRA_PROFILE_SPACE_TIGHT");
    }
    return written ? KeyMapWriteResult::Written : KeyMapWriteResult::Failed;
}

int encodeKeyMap(bool allProfiles) {
    return writeKeyMap(allProfiles) == KeyMapWriteResult::Written ? 1 : 0;
}

} // namespace tavrik::sync
