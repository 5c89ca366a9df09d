#include "app/shared/OpenHelp.h"

#include "platform/PathSet.h"
#include "platform/ShellOpen.h"

namespace tavrik::app {

bool openHelp() {
    const std::string& folder = platform::pathSet().helpFolder;
    if (folder.empty()) {
        return false;
    }
    return platform::shellOpen(folder + "index.html");
}

} // namespace tavrik::app
