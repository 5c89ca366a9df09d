// Profile files come from anywhere: checking and loading any bytes must stay
// inside them, keep the limits of the working set, and leave a working set
// that is written as a file the program accepts.

#include "FuzzCheck.h"
#include "keyboard/ProfileFileHeader.h"
#include "keyboard/StringPool.h"
#include "profile/ProfileFile.h"
#include "sync/DataSets.h"

#include <algorithm>
#include <vector>

using namespace tavrik;
using tavrik::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> image(data, size);
    profile::isProfileHeaderAcceptable(image);

    sync::WorkingSet set;
    const bool loaded = profile::loadProfileImage(image, set);
    check(loaded == (size >= keyboard::kAssignmentTableBytes));
    check(set.macros.size() <= macro::kMaxMacros);
    for (const macro::MacroRecord& record : set.macros) {
        check(record.newFlag() == 0);
    }
    const std::size_t pool = size > keyboard::kAssignmentTableBytes ? size : 0;
    check(set.strings.total() <= std::max(pool, keyboard::kStringLoadAllowance));

    const std::vector<std::uint8_t> written = profile::profileImageOf(set);
    check(profile::isProfileHeaderAcceptable(written));
    check(written.size() ==
          keyboard::profileFileTotalSize(static_cast<std::uint16_t>(set.macros.size()),
                                         set.strings.total()));

    sync::WorkingSet again;
    check(profile::loadProfileImage(written, again));
    check(again.macros.size() == set.macros.size());
    for (std::size_t i = 0; i < set.macros.size(); ++i) {
        check(again.macros[i].bytes() == set.macros[i].bytes());
    }
    return 0;
}
