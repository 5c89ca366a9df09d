#include "platform/X11FocusWatch.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace tavrik::platform {
namespace {

Q_LOGGING_CATEGORY(x11FocusLog, "tavrik.focus", QtInfoMsg)

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

ReplyPtr<xcb_get_property_reply_t> propertyOf(xcb_connection_t* connection, xcb_window_t window,
                                              xcb_atom_t name, xcb_atom_t type,
                                              std::uint32_t longs) {
    return ReplyPtr<xcb_get_property_reply_t>(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, name, type, 0, longs), nullptr));
}

// WM_CLASS: the instance name, a NUL, the class, a NUL; a broken one gives
// what can be read of it.
std::pair<QString, QString> classOf(const xcb_get_property_reply_t& reply) {
    const auto* bytes = static_cast<const char*>(xcb_get_property_value(&reply));
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(&reply));
    const std::string value(bytes, length);
    const std::size_t end = value.find('\0');
    const std::string instance = value.substr(0, end);
    std::string applicationClass;
    if (end != std::string::npos) {
        applicationClass = value.substr(end + 1);
        applicationClass = applicationClass.substr(0, applicationClass.find('\0'));
    }
    return {QString::fromStdString(applicationClass), QString::fromStdString(instance)};
}

} // namespace

X11FocusWatch::X11FocusWatch(QObject* parent) : QObject(parent) {}

X11FocusWatch::~X11FocusWatch() {
    delete notifier_;
    if (connection_ != nullptr) {
        xcb_disconnect(connection_);
    }
}

std::uint32_t X11FocusWatch::atom(const char* name) const {
    const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 1, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : static_cast<std::uint32_t>(XCB_ATOM_NONE);
}

bool X11FocusWatch::start(const QString& display) {
    if (connection_ != nullptr) {
        return true;
    }
    const QByteArray name = display.toLocal8Bit();
    xcb_connection_t* connection =
        xcb_connect(name.isEmpty() ? nullptr : name.constData(), nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        xcb_disconnect(connection);
        qCInfo(x11FocusLog, "no X display: the focused application is not followed on X11");
        return false;
    }
    connection_ = connection;
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    activeAtom_ = atom("_NET_ACTIVE_WINDOW");
    if (activeAtom_ == XCB_ATOM_NONE) {
        qCInfo(x11FocusLog, "the window manager does not name the active window");
        xcb_disconnect(connection_);
        connection_ = nullptr;
        return false;
    }
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection_);
    notifier_ = new QSocketNotifier(xcb_get_file_descriptor(connection_), QSocketNotifier::Read);
    connect(notifier_, &QSocketNotifier::activated, this, &X11FocusWatch::readEvents);
    tellActiveWindow();
    return true;
}

void X11FocusWatch::readEvents() {
    bool activeChanged = false;
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
            activeChanged = activeChanged || change->atom == activeAtom_;
        }
        std::free(event);
    }
    if (xcb_connection_has_error(connection_) != 0) {
        // The display went away: nothing more will come.
        qCInfo(x11FocusLog, "the X display is gone: the focus is no longer followed");
        notifier_->setEnabled(false);
        return;
    }
    if (activeChanged) {
        tellActiveWindow();
    }
}

void X11FocusWatch::tellActiveWindow() {
    const auto active = propertyOf(connection_, root_, activeAtom_, XCB_ATOM_WINDOW, 1);
    xcb_window_t window = XCB_WINDOW_NONE;
    if (active && active->format == 32 && xcb_get_property_value_length(active.get()) >= 4) {
        std::memcpy(&window, xcb_get_property_value(active.get()), sizeof window);
    }
    QString applicationClass;
    QString instance;
    if (window != XCB_WINDOW_NONE) {
        if (const auto wmClass =
                propertyOf(connection_, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 256)) {
            std::tie(applicationClass, instance) = classOf(*wmClass);
        }
    }
    emit focused(applicationClass, instance);
}

} // namespace tavrik::platform
