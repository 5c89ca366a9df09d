// vkbd: drives a running virtual keyboard through its control socket.

#include "platform/PathSet.h"
#include "service/virtual/ControlClient.h"
#include "service/virtual/ControlSocketPath.h"
#include "text/LanguageFile.h"
#include "tools/vkbd/KeyboardDump.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitRefused = 1;
constexpr int kExitFailed = 2;

// The help; the manual page vkbd(1) says the same.
constexpr const char* kUsage =
    "usage: vkbd [--socket PATH] COMMAND\n"
    "\n"
    "Drives the virtual keyboard that the programs running with VEZAROR_BACKEND=virtual share\n"
    "(one per state file), through the program that serves it.\n"
    "\n"
    "Commands:\n"
    "  press bank                switch the G keys between bank A and bank B\n"
    "  press lighting            step the active profile's lighting effect\n"
    "  press profile [0|1|2]     make a profile active, or the next one\n"
    "  press tray 6160|6161      send one of the tray state codes\n"
    "  press code CODE           send a consumer code (decimal)\n"
    "  unplug | plug             pull the cable, plug it in again\n"
    "  latency MS                answer commands MS milliseconds late\n"
    "  fault none | fault noanswer N | fault wrongcode N\n"
    "  fault status ff N | fault status fe N | fault unplug-after N\n"
    "  state                     plugged, active profile, commands answered\n"
    "  dump                      the keyboard's memory, decoded\n"
    "  dump raw AREA             one area in hex (info page0 page1 page2 layout macro\n"
    "                            lighting zones led)\n"
    "  --help, -h                show this help\n"
    "\n"
    "Environment:\n"
    "  VEZAROR_VIRTUAL_CONTROL   the control socket\n"
    "  XDG_RUNTIME_DIR           without VEZAROR_VIRTUAL_CONTROL the socket is\n"
    "                            $XDG_RUNTIME_DIR/tavrik/vkbd.sock, or\n"
    "                            /tmp/tavrik-<uid>/vkbd.sock without a runtime folder\n"
    "\n"
    "Exit status:\n"
    "  0  the keyboard did it\n"
    "  1  the keyboard refused the command\n"
    "  2  no virtual keyboard could be reached, or wrong usage\n";

// Key and media names as the program shows them, from the language file
// beside this tool; without one they stay the built-in texts.
void loadKeyNames() {
    const std::string executable = tavrik::platform::findExecutablePath();
    if (!executable.empty()) {
        tavrik::text::loadLanguageTexts(
            tavrik::platform::buildPathSet(executable, "").languageFile);
    }
}

int dump(tavrik::service::ControlClient& client) {
    loadKeyNames();
    tavrik::vkbd::KeyboardAreas areas;
    std::vector<std::uint8_t>* targets[] = {&areas.info,     &areas.pages[0], &areas.pages[1],
                                            &areas.pages[2], &areas.layout,   &areas.macro,
                                            &areas.lighting, &areas.zones,    &areas.led};
    for (std::size_t i = 0; i < tavrik::vkbd::kAreaNames.size(); ++i) {
        std::string error;
        if (!client.readArea(tavrik::vkbd::kAreaNames[i], *targets[i], error)) {
            std::fprintf(stderr, "vkbd: %s: %s\n", tavrik::vkbd::kAreaNames[i], error.c_str());
            return kExitFailed;
        }
    }
    std::fputs(tavrik::vkbd::describeKeyboard(areas).c_str(), stdout);
    return kExitOk;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> arguments(argv + 1, argv + argc);
    std::string socketPath;
    if (arguments.size() >= 2 && arguments[0] == "--socket") {
        socketPath = arguments[1];
        arguments.erase(arguments.begin(), arguments.begin() + 2);
    }
    if (arguments.empty() || arguments[0] == "--help" || arguments[0] == "-h") {
        std::fputs(kUsage, arguments.empty() ? stderr : stdout);
        return arguments.empty() ? kExitFailed : kExitOk;
    }
    tavrik::service::ControlClient client(socketPath.empty() ? tavrik::service::controlSocketPath()
                                                             : socketPath);
    if (arguments.size() == 1 && arguments[0] == "dump") {
        return dump(client);
    }
    std::string command;
    for (const std::string_view argument : arguments) {
        command += (command.empty() ? "" : " ") + std::string(argument);
    }
    std::string reply;
    std::string error;
    if (!client.request(command, reply, error)) {
        std::fprintf(stderr, "vkbd: %s\n", error.c_str());
        return kExitFailed;
    }
    std::puts(reply.c_str());
    return reply.starts_with("ok") ? kExitOk : kExitRefused;
}
