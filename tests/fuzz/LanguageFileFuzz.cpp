// Language files are replaced by users: any bytes must load as texts the
// program can show, each at most the 259 characters of a read.

#include "FuzzCheck.h"
#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
#include "text/LanguageFile.h"
#include "text/LanguageTexts.h"

#include <string>
#include <unistd.h>

using namespace tavrik;

using tavrik::fuzz::check;

namespace {

// One file per fuzzing process, rewritten for every input.
const std::string& languageFile() {
    static const std::string path = "language-fuzz-" + std::to_string(::getpid()) + ".ini";
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = languageFile();
    if (!platform::writeFileAtomically(path, {std::span<const std::uint8_t>(data, size)})) {
        return 0;
    }
    const int value = text::languageValue(path);
    const std::u16string section = text::languageSection(path);
    check(section == (value == 1 ? u"ENGINSH" : u"CHINESE"));
    text::resetLanguageTexts();
    text::loadLanguageTexts(path);
    text::loadProfileCaptions(path);
    for (const text::TextSlotInfo& slot : text::textSlots()) {
        check(text::languageText(slot.key).size() <= platform::kIniValueMaxLength);
    }
    ::unlink(path.c_str());
    return 0;
}
