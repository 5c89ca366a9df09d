#include "sync/WorkingFileWarning.h"

#include "platform/AtomicFile.h"
#include "platform/Ports.h"
#include "platform/Unicode.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"

#include <atomic>

namespace tavrik::sync {
namespace {

std::atomic<bool> told{false};

} // namespace

bool isFirstWorkingFileFailure(bool saved) {
    if (saved) {
        told.store(false);
        return false;
    }
    return !told.exchange(true);
}

void tellWorkingFileFailure(std::string_view key, const std::string& path, int error) {
    const std::u16string where = platform::toUtf16(platform::describeSaveFailure(path, error));
    platform::prompter().showMessage(text::formatWithText(text::languageText(key), where), u"",
                                     platform::MessageIcon::Warning);
}

void resetWorkingFileWarning() {
    told.store(false);
}

} // namespace tavrik::sync
