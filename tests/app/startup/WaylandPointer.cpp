// A pointer for tests under a headless Wayland compositor, which has no input
// device: it makes a virtual pointer on the compositor's seat (the
// compositor then offers its clients a pointer), says "READY" on its
// standard output, and for each line "click <x> <y> <width> <height>" on its
// standard input moves to (x, y) of the layout of that size, presses and
// releases the left button, and says "CLICKED" once the compositor has
// taken it. It ends at the end of its input.

#include "wlr-virtual-pointer-unstable-v1-client.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <linux/input-event-codes.h>
#include <sstream>
#include <string>
#include <wayland-client.h>

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;

void announce(void*, wl_registry* registry, std::uint32_t name, const char* interface,
              std::uint32_t) {
    if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    }
}

void withdraw(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener = {announce, withdraw};

void say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

} // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        say("NO DISPLAY");
        return 2;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, nullptr);
    wl_display_roundtrip(display);
    if (manager == nullptr) {
        say("NO VIRTUAL POINTER");
        return 3;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr);
    wl_display_roundtrip(display);
    say("READY");
    std::uint32_t time = 0;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        std::uint32_t x = 0, y = 0, width = 0, height = 0;
        if (!(words >> command >> x >> y >> width >> height) || command != "click") {
            say("WHAT?");
            continue;
        }
        zwlr_virtual_pointer_v1_motion_absolute(pointer, ++time, x, y, width, height);
        zwlr_virtual_pointer_v1_frame(pointer);
        zwlr_virtual_pointer_v1_button(pointer, ++time, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
        zwlr_virtual_pointer_v1_frame(pointer);
        zwlr_virtual_pointer_v1_button(pointer, ++time, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        say("CLICKED");
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(manager);
    wl_registry_destroy(registry);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
