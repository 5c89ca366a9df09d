// tavrikctl: the keyboard's profiles and backups from the command line
// (kHelp below; the manual page tavrikctl(1) says the same).
//
// While the program runs, the commands that use the keyboard ask it over the
// session bus (ProgramBus.h), so that its working set and window follow.
// Otherwise it talks to the keyboard through libVezAror.so as the program
// does, under the keyboard's lock; a program that runs in another session
// and cannot be reached from here is not written behind its back.

#include "device/Channels.h"
#include "device/Commands.h"
#include "device/DeviceState.h"
#include "device/LinkShutdown.h"
#include "device/ServiceBinding.h"
#include "platform/InstanceLock.h"
#include "platform/Ports.h"
#include "platform/RunningMark.h"
#include "platform/Unicode.h"
#include "profile/ProfileFile.h"
#include "sync/DeviceMemory.h"
#include "sync/KeyboardBackupTransfer.h"
#include "sync/KeyboardReader.h"
#include "sync/ProfileActivation.h"
#include "sync/ProfileTransfer.h"
#include "text/LanguageTexts.h"
#include "tools/tavrikctl/AppProfileCommand.h"
#include "tools/tavrikctl/ConsolePrompter.h"
#include "tools/tavrikctl/ProfileDump.h"
#include "tools/tavrikctl/ProgramBus.h"

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tavrik;

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

constexpr const char* kHelp =
    "usage: tavrikctl COMMAND [ARGUMENT]\n"
    "\n"
    "Reads and writes the keyboard's profiles and backups. While Tavrik runs, the commands\n"
    "that use the keyboard ask Tavrik to do it (over the session bus), so that its window\n"
    "follows; without Tavrik they use libVezAror.so as Tavrik does. While Tavrik runs in a\n"
    "session that cannot be reached from here, they refuse.\n"
    "\n"
    "Commands:\n"
    "  dump FILE.fwc      show a profile file in words\n"
    "  check FILE.fwc     check a profile file as an import does\n"
    "  read FILE.fwc      read the keyboard into a profile file\n"
    "  write FILE.fwc     write a profile file to the keyboard: all three profiles and the\n"
    "                     macros\n"
    "  profile [1|2|3]    make a profile active; without a number, show the active one\n"
    "  backup FILE        save everything the keyboard holds in a backup file\n"
    "  restore FILE       check a backup file, write it to the keyboard and read it back\n"
    "  app-profile list   the profiles that follow the focused application: each rule,\n"
    "                     the default, and the rule in force while Tavrik runs\n"
    "  app-profile set APP 1|2|3\n"
    "                     profile 1, 2 or 3 while APP has the focus (its X11 class or\n"
    "                     instance name, or its Wayland app id; case does not matter)\n"
    "  app-profile unset APP\n"
    "                     remove the rule of APP\n"
    "  app-profile default 1|2|3|none\n"
    "                     the profile of applications without a rule; none leaves the\n"
    "                     keyboard as it is\n"
    "  --help, -h         show this help\n"
    "\n"
    "Environment:\n"
    "  VEZAROR_BACKEND             hidraw (real keyboards, the default) or virtual\n"
    "  VEZAROR_VIRTUAL_STATE       the virtual keyboard's state file\n"
    "  VEZAROR_VIRTUAL_CONTROL     the virtual keyboard's control socket\n"
    "  VEZAROR_VIRTUAL_LATENCY_MS  how late the virtual keyboard answers\n"
    "  VEZAROR_VIRTUAL_PLUGGED     0: the virtual keyboard starts unplugged\n"
    "  VEZAROR_DEBUG               1: the service library reports errors, 2: every request\n"
    "\n"
    "Exit status:\n"
    "  0  done\n"
    "  1  failed; the message says why\n"
    "  2  wrong usage\n";

void printUsage() {
    std::cerr << kHelp;
}

// The service bound, the channels registered and the keyboard's layout and
// macro memory known; ended when the tool ends.
class KeyboardLink {
public:
    KeyboardLink() = default;
    ~KeyboardLink() { device::shutDownDeviceLink(); }
    KeyboardLink(const KeyboardLink&) = delete;
    KeyboardLink& operator=(const KeyboardLink&) = delete;

    bool open() {
        // Here only when the program does not answer on this shell's bus.
        if (platform::InstanceLock::exists(platform::kInstanceMutexName) ||
            platform::RunningMark::isHeld()) {
            std::cerr << "tavrikctl: Tavrik is running, but not on this shell's session bus; "
                         "run tavrikctl in Tavrik's session, or end Tavrik first.\n";
            return false;
        }
        if (device::bindService() != device::BindResult::Bound) {
            std::cerr << "tavrikctl: cannot load and start " << device::kServiceLibraryName
                      << ".\n";
            return false;
        }
        device::registerChannels();
        if (device::readActiveProfile() < 0) {
            std::cerr << "tavrikctl: no keyboard answers.\n";
            return false;
        }
        if (!sync::readKeyboardLayoutAndCapacity()) {
            std::cerr << "tavrikctl: "
                      << "the keyboard's default layout cannot be read.\n";
            return false;
        }
        return true;
    }
};

int dump(const std::string& path) {
    std::vector<std::uint8_t> image;
    const int read = profile::readProfileImage(path, image);
    if (read == profile::validation::CannotOpen || read == profile::validation::OutOfMemory ||
        (read == profile::validation::Rejected && image.empty())) {
        std::cerr << "tavrikctl: " << path
                  << " cannot be read as a profile file (missing, unreadable, under 32832 "
                     "bytes or 4 GiB or more).\n";
        return kFailure;
    }
    std::cout << "file " << path << '\n' << tools::dumpProfileImage(image);
    return kSuccess;
}

int check(const std::string& path) {
    if (profile::validateProfileFile(path) > 0) {
        std::cout << path << ": acceptable\n";
        return kSuccess;
    }
    platform::prompter().showMessage(text::languageText("MAIN_PROMPT_INPORT"));
    return kFailure;
}

std::string absolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.string();
}

// What the running program answered; on standard error when it refused.
int askProgram(const tools::ProgramBus& program, const char* method, const std::string& path,
               const std::u16string& done = {}) {
    const tools::ProgramAnswer answer = program.call(method, {QString::fromStdString(path)});
    if (!answer.succeeded) {
        std::cerr << "tavrikctl: Tavrik: " << answer.message << '\n';
        return kFailure;
    }
    if (!done.empty()) {
        std::cout << platform::toUtf8(done) << '\n';
    }
    return kSuccess;
}

int readKeyboard(const std::string& path) {
    if (const auto program = tools::ProgramBus::find()) {
        // What Tavrik shows: the keyboard's setup with any change not yet
        // applied.
        return askProgram(*program, "ExportProfile", absolutePath(path));
    }
    KeyboardLink link;
    if (!link.open()) {
        return kFailure;
    }
    if (!sync::readKeyboardToWorkingFile(path)) {
        std::cerr << "tavrikctl: the keyboard could not be read into " << path << ".\n";
        return kFailure;
    }
    return kSuccess;
}

int writeKeyboard(const std::string& path) {
    if (const auto program = tools::ProgramBus::find()) {
        return askProgram(*program, "ImportProfile", absolutePath(path));
    }
    KeyboardLink link;
    if (!link.open()) {
        return kFailure;
    }
    const sync::ImportOutcome outcome = sync::importProfileFrom(path);
    if (!outcome.accepted) {
        return kFailure;
    }
    if (!outcome.keyboardWritten) {
        std::cerr << "tavrikctl: the keyboard did not take the whole profile file.\n";
        return kFailure;
    }
    return kSuccess;
}

std::optional<int> profileNumber(const std::string& text) {
    if (text == "1" || text == "2" || text == "3") {
        return text[0] - '0';
    }
    return std::nullopt;
}

// The profile through the running program: made active as a profile
// button does, then read back.
int programsProfile(const tools::ProgramBus& program, std::optional<int> number) {
    if (number) {
        const tools::ProgramAnswer answer =
            program.call("SetActiveProfile", {static_cast<unsigned>(*number)});
        if (!answer.succeeded) {
            std::cerr << "tavrikctl: Tavrik: " << answer.message << '\n';
            return kFailure;
        }
    }
    const std::optional<unsigned> active = program.activeProfile();
    if (!active || *active == 0) {
        std::cerr << "tavrikctl: the active profile cannot be read.\n";
        return kFailure;
    }
    std::cout << "active profile " << *active << '\n';
    return kSuccess;
}

int activeProfile(const std::vector<std::string>& arguments) {
    std::optional<int> number;
    if (arguments.size() == 3) {
        number = profileNumber(arguments[2]);
        if (!number) {
            printUsage();
            return kUsageError;
        }
    }
    if (const auto program = tools::ProgramBus::find()) {
        return programsProfile(*program, number);
    }
    KeyboardLink link;
    if (!link.open()) {
        return kFailure;
    }
    if (number && !sync::setActiveProfile(*number - 1)) {
        std::cerr << "tavrikctl: the keyboard did not take profile " << *number << ".\n";
        return kFailure;
    }
    const int active = device::readActiveProfile();
    if (active < 0) {
        std::cerr << "tavrikctl: the active profile cannot be read.\n";
        return kFailure;
    }
    std::cout << "active profile " << active + 1 << '\n';
    return kSuccess;
}

// What came of a backup or a restore: on standard output when it succeeded,
// on standard error otherwise.
int report(bool succeeded, const std::u16string& text) {
    if (!succeeded) {
        std::cerr << "tavrikctl: " << platform::toUtf8(text) << '\n';
        return kFailure;
    }
    std::cout << platform::toUtf8(text) << '\n';
    return kSuccess;
}

int backup(const std::string& path) {
    if (const auto program = tools::ProgramBus::find()) {
        const std::string absolute = absolutePath(path);
        return askProgram(*program, "Backup", absolute,
                          sync::resultText(sync::BackupResult::Saved, absolute));
    }
    KeyboardLink link;
    if (!link.open()) {
        return kFailure;
    }
    int error = 0;
    const sync::BackupResult result = sync::backupKeyboardTo(path, &error);
    return report(result == sync::BackupResult::Saved, sync::resultText(result, path, error));
}

int restore(const std::string& path) {
    // The whole file is checked before the keyboard is reached at all.
    profile::KeyboardBackup contents;
    const profile::BackupCheck check = profile::readKeyboardBackupFile(path, contents);
    if (check != profile::BackupCheck::Valid) {
        return report(false, sync::resultText(check, path));
    }
    if (const auto program = tools::ProgramBus::find()) {
        const std::string absolute = absolutePath(path);
        return askProgram(*program, "Restore", absolute,
                          sync::resultText(sync::RestoreResult::Restored, absolute));
    }
    KeyboardLink link;
    if (!link.open()) {
        return kFailure;
    }
    const sync::RestoreResult result = sync::restoreKeyboardBackup(contents);
    return report(result == sync::RestoreResult::Restored, sync::resultText(result, path));
}

int run(const std::vector<std::string>& arguments) {
    if (arguments.size() == 2 && (arguments[1] == "--help" || arguments[1] == "-h")) {
        std::cout << kHelp;
        return kSuccess;
    }
    if (arguments.size() == 3 && arguments[1] == "dump") {
        return dump(arguments[2]);
    }
    if (arguments.size() == 3 && arguments[1] == "check") {
        return check(arguments[2]);
    }
    if (arguments.size() == 3 && arguments[1] == "read") {
        return readKeyboard(arguments[2]);
    }
    if (arguments.size() == 3 && arguments[1] == "write") {
        return writeKeyboard(arguments[2]);
    }
    if ((arguments.size() == 2 || arguments.size() == 3) && arguments[1] == "profile") {
        return activeProfile(arguments);
    }
    if (arguments.size() == 3 && arguments[1] == "backup") {
        return backup(arguments[2]);
    }
    if (arguments.size() == 3 && arguments[1] == "restore") {
        return restore(arguments[2]);
    }
    if (arguments.size() >= 2 && arguments[1] == "app-profile") {
        const int status = tools::runAppProfileCommand({arguments.begin() + 2, arguments.end()});
        if (status == kUsageError) {
            printUsage();
        }
        return status;
    }
    printUsage();
    return kUsageError;
}

} // namespace

int main(int argc, char** argv) {
    // For the session bus, which the program is asked through.
    const QCoreApplication application(argc, argv);
    tools::ConsolePrompter prompter;
    platform::installPrompter(&prompter);
    const int status = run(std::vector<std::string>(argv, argv + argc));
    platform::resetPorts();
    return status;
}
