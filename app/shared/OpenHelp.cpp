#include "app/shared/OpenHelp.h"

#include "platform/PathSet.h"
#include "platform/Ports.h"
#include "platform/ShellOpen.h"
#include "platform/Unicode.h"
#include "text/LanguageTexts.h"
#include "text/TextFormat.h"

#include <sys/stat.h>

namespace tavrik::app {

bool openHelp() {
    const std::string& folder = platform::pathSet().helpFolder;
    if (folder.empty()) {
        return false;
    }
    const std::string page = folder + "index.html";
    struct stat status {};
    if (::stat(page.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
        platform::shellOpen(page)) {
        return true;
    }
    // Without a browser the desktop only says so on stderr: the user is
    // told where the guide is, to open it another way.
    platform::prompter().showMessage(
        text::formatWithText(text::languageText("HELP_NOT_OPENED"), platform::toUtf16(page)), u"",
        platform::MessageIcon::Warning);
    return false;
}

} // namespace tavrik::app
