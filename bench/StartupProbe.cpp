// Starts a program on an X display and watches it from outside, the same way
// for Tavrik and for the bare yardstick program: the time from exec until it
// asks the system tray to dock its icon, the time until it maps a top-level
// window, and, once it has settled, its resident memory and how often its
// threads wake while nothing happens.
//
// The probe is the display's system tray (it owns the tray selection and
// announces itself), so a program's tray icon finds a tray to dock into.
//
//   startup_probe [--until tray|window] [--settle MS] [--idle MS] -- PROGRAM ARGS...
//
// Prints key=value lines: tray_ms, window_ms, window_size, rss_kb, wakeups,
// idle_ms, threads, started_s. Exits 1 when the program did not get as far as asked.

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::uint32_t kTrayRequestDock = 0;
constexpr auto kGiveUp = 60s;

struct Options {
    bool untilWindow = false;
    std::chrono::milliseconds settle{0};
    std::chrono::milliseconds idle{0};
    std::vector<char*> command;
};

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    int at = 1;
    for (; at < argc && std::strcmp(argv[at], "--") != 0; at += 2) {
        if (at + 1 >= argc) {
            return std::nullopt;
        }
        const std::string name = argv[at];
        const char* value = argv[at + 1];
        if (name == "--until") {
            options.untilWindow = std::strcmp(value, "window") == 0;
        } else if (name == "--settle") {
            options.settle = std::chrono::milliseconds(std::atol(value));
        } else if (name == "--idle") {
            options.idle = std::chrono::milliseconds(std::atol(value));
        } else {
            return std::nullopt;
        }
    }
    for (++at; at < argc; ++at) {
        options.command.push_back(argv[at]);
    }
    if (options.command.empty()) {
        return std::nullopt;
    }
    options.command.push_back(nullptr);
    return options;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return result;
}

// Owns the tray selection of the first screen and tells the clients so.
struct Tray {
    xcb_connection_t* connection = nullptr;
    xcb_screen_t* screen = nullptr;
    xcb_window_t owner = 0;
    xcb_atom_t opcode = XCB_ATOM_NONE;

    bool open() {
        // A busy server may turn a connection away now and then.
        for (int attempt = 0; attempt < 20; ++attempt) {
            if (connection != nullptr) {
                xcb_disconnect(connection);
                std::this_thread::sleep_for(50ms);
            }
            connection = xcb_connect(nullptr, nullptr);
            if (xcb_connection_has_error(connection) == 0) {
                break;
            }
        }
        if (xcb_connection_has_error(connection) != 0) {
            return false;
        }
        screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        const std::uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &rootEvents);
        owner = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, owner, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        const xcb_atom_t selection = atom(connection, "_NET_SYSTEM_TRAY_S0");
        opcode = atom(connection, "_NET_SYSTEM_TRAY_OPCODE");
        xcb_set_selection_owner(connection, owner, selection, XCB_CURRENT_TIME);

        xcb_client_message_event_t manager{};
        manager.response_type = XCB_CLIENT_MESSAGE;
        manager.format = 32;
        manager.window = screen->root;
        manager.type = atom(connection, "MANAGER");
        manager.data.data32[0] = XCB_CURRENT_TIME;
        manager.data.data32[1] = selection;
        manager.data.data32[2] = owner;
        xcb_send_event(connection, 0, screen->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&manager));
        xcb_flush(connection);
        return true;
    }
};

// Empty where the file cannot be read: a thread's status file fails its read
// once the thread has ended between the listing and the read.
std::string readFile(const std::string& path) {
    std::string content;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return content;
    }
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(descriptor, buffer, sizeof buffer)) > 0) {
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(descriptor);
    return content;
}

long statusField(const std::string& status, const char* name) {
    const auto at = status.find(name);
    return at == std::string::npos ? 0 : std::atol(status.c_str() + at + std::strlen(name));
}

struct Activity {
    long switches = 0;
    int threads = 0;
};

// Context switches of every thread of the process: each is a time one of
// them stopped running, so their growth over an idle period counts wake-ups.
Activity activityOf(pid_t pid) {
    Activity activity;
    const std::string folder = "/proc/" + std::to_string(pid) + "/task";
    DIR* tasks = ::opendir(folder.c_str());
    if (tasks == nullptr) {
        return activity;
    }
    while (const dirent* entry = ::readdir(tasks)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const std::string status = readFile(folder + "/" + entry->d_name + "/status");
        activity.switches += statusField(status, "voluntary_ctxt_switches:") +
                             statusField(status, "nonvoluntary_ctxt_switches:");
        ++activity.threads;
    }
    ::closedir(tasks);
    return activity;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

pid_t launch(std::vector<char*>& command) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execvp(command[0], command.data());
        std::perror(command[0]);
        ::_exit(127);
    }
    return pid;
}

struct Watch {
    std::optional<double> trayMs;
    std::optional<double> windowMs;
    xcb_window_t icon = 0;
    std::string windowSize;
};

// Handles one event; the dock request and the first map of a top-level
// window other than the tray icon are what is timed.
void handle(const Tray& tray, const xcb_generic_event_t& event, Clock::time_point start,
            Watch& watch) {
    switch (event.response_type & 0x7F) {
    case XCB_CLIENT_MESSAGE: {
        const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
        if (message.type == tray.opcode && message.data.data32[1] == kTrayRequestDock &&
            !watch.trayMs) {
            watch.trayMs = millisecondsSince(start);
            watch.icon = message.data.data32[2];
        }
        break;
    }
    case XCB_MAP_NOTIFY: {
        const auto& map = reinterpret_cast<const xcb_map_notify_event_t&>(event);
        if (map.override_redirect != 0 || map.window == watch.icon || watch.windowMs) {
            break;
        }
        xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(
            tray.connection, xcb_get_geometry(tray.connection, map.window), nullptr);
        // The tray icon may map itself before it asks to dock: a window of
        // icon size is not the program's window.
        if (geometry != nullptr && geometry->width > 64 && geometry->height > 64) {
            watch.windowMs = millisecondsSince(start);
            watch.windowSize =
                std::to_string(geometry->width) + "x" + std::to_string(geometry->height);
        }
        std::free(geometry);
        break;
    }
    default:
        break;
    }
}

bool reached(const Options& options, const Watch& watch) {
    return options.untilWindow ? watch.windowMs.has_value() : watch.trayMs.has_value();
}

bool processRuns(pid_t pid) {
    int status = 0;
    return ::waitpid(pid, &status, WNOHANG) == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: startup_probe [--until tray|window] [--settle MS] "
                             "[--idle MS] -- PROGRAM ARGS...\n");
        return 2;
    }
    Tray tray;
    if (!tray.open()) {
        std::fprintf(stderr, "startup_probe: no X display\n");
        return 2;
    }
    const Clock::time_point start = Clock::now();
    const pid_t pid = launch(options->command);
    Watch watch;
    pollfd display{xcb_get_file_descriptor(tray.connection), POLLIN, 0};
    while (!reached(*options, watch) && Clock::now() - start < kGiveUp && processRuns(pid)) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(tray.connection)) {
            handle(tray, *event, start, watch);
            std::free(event);
        }
        if (!reached(*options, watch)) {
            ::poll(&display, 1, 10);
        }
    }
    const bool ok = reached(*options, watch);
    if (ok) {
        std::this_thread::sleep_for(options->settle);
        const std::string status = readFile("/proc/" + std::to_string(pid) + "/status");
        std::printf("rss_kb=%ld\n", statusField(status, "VmRSS:"));
        const Activity before = activityOf(pid);
        std::this_thread::sleep_for(options->idle);
        const Activity after = activityOf(pid);
        std::printf("wakeups=%ld\nidle_ms=%lld\nthreads=%d\n", after.switches - before.switches,
                    static_cast<long long>(options->idle.count()), after.threads);
    }
    std::printf("tray_ms=%.1f\nwindow_ms=%.1f\nwindow_size=%s\n", watch.trayMs.value_or(-1),
                watch.windowMs.value_or(-1), watch.windowSize.c_str());
    // The start on the monotonic clock, to lay a program's own time stamps
    // (a message pattern's boot time) against the figures above.
    std::printf("started_s=%.4f\n",
                std::chrono::duration<double>(start.time_since_epoch()).count());
    ::kill(pid, SIGTERM);
    int status = 0;
    ::waitpid(pid, &status, 0);
    xcb_disconnect(tray.connection);
    return ok ? 0 : 1;
}
