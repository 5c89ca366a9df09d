#include "app/mainwindow/WindowTimers.h"

#include <QTimer>
#include <climits>

namespace tavrik::app {

void WindowTimers::set(std::uint32_t timerId, std::uint32_t milliseconds) {
    QTimer*& timer = timers_[timerId];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, timerId] { emit fired(timerId); });
    }
    timer->start(static_cast<int>(std::min<std::uint32_t>(milliseconds, INT_MAX)));
}

void WindowTimers::kill(std::uint32_t timerId) {
    const auto found = timers_.find(timerId);
    if (found != timers_.end()) {
        found->second->stop();
    }
}

void WindowTimers::killAll() {
    for (const auto& [id, timer] : timers_) {
        timer->stop();
    }
}

bool WindowTimers::isRunning(std::uint32_t timerId) const {
    const auto found = timers_.find(timerId);
    return found != timers_.end() && found->second->isActive();
}

} // namespace tavrik::app
