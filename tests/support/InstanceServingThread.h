#pragma once
// A window and its instance server on a thread of their own, standing for
// the main window of a running instance: blocking senders in the test's own
// thread find it answering. The window records every message that reaches it
// and answers with 77.

#include "platform/InstanceMessenger.h"
#include "platform/LocalSocket.h"
#include "platform/WindowMessage.h"

#include <QSocketNotifier>
#include <QThread>
#include <array>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <vector>

namespace tavrik::testing {

struct Received {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

// The running instance's main window (named apart from the recording port
// of RecordingPorts.h, which shares test binaries): records what reaches it and answers
// with a fixed result.
class AnsweringWindow final : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() != platform::WindowMessageEvent::eventType()) {
            return QObject::event(event);
        }
        auto* message = static_cast<platform::WindowMessageEvent*>(event);
        const std::lock_guard lock(mutex_);
        received_.push_back({message->message(), message->wParam(), message->lParam()});
        message->setResult(77);
        return true;
    }
    std::vector<Received> received() const {
        const std::lock_guard lock(mutex_);
        return received_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Received> received_;
};

// A server of another program: it says "XXXX" to each connection and keeps
// the connection open.
class StrangerServer {
public:
    bool listen(const QString& path) {
        if (!listener_.listen(path.toStdString())) {
            return false;
        }
        notifier_ =
            std::make_unique<QSocketNotifier>(listener_.descriptor(), QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { greet(); });
        return true;
    }

private:
    void greet() {
        while (platform::UniqueFd connection = listener_.accept()) {
            constexpr std::array<std::uint8_t, 4> kGreeting{'X', 'X', 'X', 'X'};
            platform::sendAll(connection.get(), kGreeting, std::chrono::steady_clock::now());
            connections_.push_back(std::move(connection));
        }
    }

    platform::LocalListener listener_;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::vector<platform::UniqueFd> connections_;
};

// A window and its instance server on a thread of their own, so that the
// test's blocking sends find them answering.
class InstanceServingThread {
public:
    InstanceServingThread() {
        thread_.start();
        window_.moveToThread(&thread_);
    }
    ~InstanceServingThread() {
        onThread([this] {
            server_.reset();
            stranger_.reset();
        });
        thread_.quit();
        thread_.wait();
    }

    bool listen(const QString& path) {
        bool listening = false;
        onThread([&] {
            server_ = std::make_unique<platform::InstanceServer>(&window_);
            listening = server_->listen(path);
        });
        return listening;
    }
    // A server that answers with another identity.
    bool listenAsStranger(const QString& path) {
        bool listening = false;
        onThread([&] {
            stranger_ = std::make_unique<StrangerServer>();
            listening = stranger_->listen(path);
        });
        return listening;
    }
    std::vector<Received> received() const { return window_.received(); }
    // Keeps the window's thread busy, as a long handler would, until
    // `release` is ready; returns once the thread is held.
    void holdUntil(std::shared_future<void> release) {
        std::promise<void> holding;
        std::future<void> held = holding.get_future();
        QMetaObject::invokeMethod(
            &window_,
            [release, &holding] {
                holding.set_value();
                release.wait();
            },
            Qt::QueuedConnection);
        held.wait();
    }

private:
    template <typename Work> void onThread(Work work) {
        QObject context;
        context.moveToThread(&thread_);
        QMetaObject::invokeMethod(&context, work, Qt::BlockingQueuedConnection);
    }

    QThread thread_;
    AnsweringWindow window_;
    std::unique_ptr<platform::InstanceServer> server_;
    std::unique_ptr<StrangerServer> stranger_;
};

} // namespace tavrik::testing
