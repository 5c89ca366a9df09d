#include "app/OpenHelp.h"

#include "app/PathSet.h"
#include "platform/ShellOpen.h"

namespace tavrik::app {

bool openHelp() {
    const std::string& folder = pathSet().helpFolder;
    if (folder.empty()) {
        return false;
    }
    return platform::shellOpen(folder + "index.html");
}

} // namespace tavrik::app
