#include "platform/WindowMessage.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

namespace tavrik::platform {

WindowMessageEvent::WindowMessageEvent(std::uint32_t message, std::uintptr_t wParam,
                                       std::intptr_t lParam)
    : QEvent(eventType()), message_(message), wParam_(wParam), lParam_(lParam) {
    // Unanswered until a handler sets a result.
    setAccepted(false);
}

QEvent::Type WindowMessageEvent::eventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void WindowMessageEvent::setResult(std::intptr_t result) {
    result_ = result;
    accept();
}

std::intptr_t sendWindowMessage(QObject* window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) {
    if (window == nullptr) {
        return 0;
    }
    if (QThread::currentThread() == window->thread()) {
        WindowMessageEvent event(message, wParam, lParam);
        QCoreApplication::sendEvent(window, &event);
        return event.result();
    }
    std::intptr_t result = 0;
    QPointer<QObject> guarded(window);
    QMetaObject::invokeMethod(
        window,
        [&] {
            if (guarded) {
                WindowMessageEvent event(message, wParam, lParam);
                QCoreApplication::sendEvent(guarded, &event);
                result = event.result();
            }
        },
        Qt::BlockingQueuedConnection);
    return result;
}

void postWindowMessage(QObject* window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam) {
    if (window != nullptr) {
        QCoreApplication::postEvent(window, new WindowMessageEvent(message, wParam, lParam));
    }
}

} // namespace tavrik::platform
