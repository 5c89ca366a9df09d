#include "platform/WlrForeignToplevels.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <wayland-client.h>
#include <wlr-foreign-toplevel-management-unstable-v1-client.h>

namespace tavrik::platform {
namespace {

Q_LOGGING_CATEGORY(wlrFocusLog, "tavrik.focus", QtInfoMsg)

// The newest version whose events the watch knows.
constexpr std::uint32_t kManagerVersion = 3;

} // namespace

struct WlrForeignToplevels::Toplevel {
    WlrForeignToplevels* owner = nullptr;
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    QString appId;
    bool active = false;
    QString pendingAppId;
    bool pendingActive = false;

    ~Toplevel() {
        if (handle != nullptr) {
            zwlr_foreign_toplevel_handle_v1_destroy(handle);
        }
    }
};

// The protocol's callbacks, friends of the watch so that they reach its
// list; each finds its toplevel or the watch in `data`.
struct ToplevelEvents {
    using Toplevel = WlrForeignToplevels::Toplevel;

    static void title(void*, zwlr_foreign_toplevel_handle_v1*, const char*) {}
    static void appId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* id) {
        static_cast<Toplevel*>(data)->pendingAppId = QString::fromUtf8(id);
    }
    static void outputEnter(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void outputLeave(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}
    static void state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states) {
        bool active = false;
        const auto* values = static_cast<const std::uint32_t*>(states->data);
        for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
            active = active || values[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
        }
        static_cast<Toplevel*>(data)->pendingActive = active;
    }
    static void done(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto* toplevel = static_cast<Toplevel*>(data);
        const bool becameActive = toplevel->pendingActive &&
                                  (!toplevel->active || toplevel->pendingAppId != toplevel->appId);
        toplevel->appId = toplevel->pendingAppId;
        toplevel->active = toplevel->pendingActive;
        if (becameActive) {
            emit toplevel->owner->activated(toplevel->appId);
        }
    }
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1*) {
        auto* toplevel = static_cast<Toplevel*>(data);
        auto& list = toplevel->owner->toplevels_;
        std::erase_if(list, [toplevel](const auto& item) { return item.get() == toplevel; });
    }
    static void parent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    static constexpr zwlr_foreign_toplevel_handle_v1_listener kToplevel{
        .title = title,
        .app_id = appId,
        .output_enter = outputEnter,
        .output_leave = outputLeave,
        .state = state,
        .done = done,
        .closed = closed,
        .parent = parent,
    };

    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                         zwlr_foreign_toplevel_handle_v1* handle) {
        auto* watch = static_cast<WlrForeignToplevels*>(data);
        auto item = std::make_unique<Toplevel>();
        item->owner = watch;
        item->handle = handle;
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &kToplevel, item.get());
        watch->toplevels_.push_back(std::move(item));
    }
    static void finished(void* data, zwlr_foreign_toplevel_manager_v1* manager) {
        // The compositor is done with the list; it destroys its side.
        auto* watch = static_cast<WlrForeignToplevels*>(data);
        zwlr_foreign_toplevel_manager_v1_destroy(manager);
        watch->manager_ = nullptr;
        qCInfo(wlrFocusLog, "the compositor no longer lists its windows");
    }

    static constexpr zwlr_foreign_toplevel_manager_v1_listener kManager{
        .toplevel = toplevel,
        .finished = finished,
    };

    static void global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version) {
        auto* watch = static_cast<WlrForeignToplevels*>(data);
        if (watch->manager_ != nullptr ||
            std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) != 0) {
            return;
        }
        watch->manager_ = static_cast<zwlr_foreign_toplevel_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface,
                             std::min(version, kManagerVersion)));
        zwlr_foreign_toplevel_manager_v1_add_listener(watch->manager_, &kManager, watch);
    }
    static void globalRemove(void*, wl_registry*, std::uint32_t) {}

    static constexpr wl_registry_listener kRegistry{
        .global = global,
        .global_remove = globalRemove,
    };
};

WlrForeignToplevels::WlrForeignToplevels(QObject* parent) : QObject(parent) {}

WlrForeignToplevels::~WlrForeignToplevels() {
    disconnectDisplay();
}

void WlrForeignToplevels::disconnectDisplay() {
    delete notifier_;
    notifier_ = nullptr;
    toplevels_.clear();
    if (manager_ != nullptr) {
        zwlr_foreign_toplevel_manager_v1_stop(manager_);
        zwlr_foreign_toplevel_manager_v1_destroy(manager_);
        manager_ = nullptr;
    }
    if (registry_ != nullptr) {
        wl_registry_destroy(registry_);
        registry_ = nullptr;
    }
    if (display_ != nullptr) {
        wl_display_flush(display_);
        wl_display_disconnect(display_);
        display_ = nullptr;
    }
}

bool WlrForeignToplevels::start(const QString& display) {
    if (display_ != nullptr) {
        return true;
    }
    // wl_display_connect would fall back on "wayland-0"; only a named
    // display is the desktop's.
    const QByteArray name = display.isEmpty() ? qgetenv("WAYLAND_DISPLAY") : display.toLocal8Bit();
    if (name.isEmpty()) {
        qCInfo(wlrFocusLog, "no Wayland display: the compositor is not asked for the focus");
        return false;
    }
    display_ = wl_display_connect(name.constData());
    if (display_ == nullptr) {
        qCInfo(wlrFocusLog, "the Wayland display %s cannot be reached", name.constData());
        return false;
    }
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &ToplevelEvents::kRegistry, this);
    // The first round brings the globals, the second the windows open now.
    if (wl_display_roundtrip(display_) < 0 || manager_ == nullptr ||
        wl_display_roundtrip(display_) < 0) {
        qCInfo(wlrFocusLog, "the compositor does not list its windows to clients: "
                            "the focus is followed only through a desktop script");
        disconnectDisplay();
        return false;
    }
    notifier_ = new QSocketNotifier(wl_display_get_fd(display_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &WlrForeignToplevels::readEvents);
    return true;
}

void WlrForeignToplevels::readEvents() {
    // The notifier says there is something to read, so this does not wait.
    if (wl_display_dispatch(display_) < 0) {
        qCInfo(wlrFocusLog, "the Wayland display is gone: the focus is no longer followed");
        notifier_->setEnabled(false);
        return;
    }
    wl_display_flush(display_);
}

} // namespace tavrik::platform
