#pragma once
// The main window's timers, by id, as the window's handlers expect them: a
// timer fires every period until it is killed (a period of 0 fires whenever
// the event loop is idle), setting a running timer again restarts it with
// the new period, and killing a timer that does not run does nothing. Used on
// the user-interface thread only.

#include <QObject>
#include <cstdint>
#include <map>

class QTimer;

namespace tavrik::app {

class WindowTimers final : public QObject {
    Q_OBJECT
public:
    explicit WindowTimers(QObject* parent = nullptr) : QObject(parent) {}

    void set(std::uint32_t timerId, std::uint32_t milliseconds);
    void kill(std::uint32_t timerId);
    void killAll();
    bool isRunning(std::uint32_t timerId) const;

signals:
    void fired(std::uint32_t timerId);

private:
    std::map<std::uint32_t, QTimer*> timers_;
};

} // namespace tavrik::app
