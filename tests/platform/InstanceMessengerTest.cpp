#include "platform/InstanceMessenger.h"

#include "platform/MainWindowPort.h"
#include "platform/WindowMessage.h"
#include "tests/support/GuiTestApplication.h"
#include "tests/support/TemporaryFolder.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace tavrik::platform {
namespace {

struct Received {
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

// The running instance's main window: records what reaches it and answers
// with a fixed result.
class RecordingWindow final : public QObject {
public:
    bool event(QEvent* event) override {
        if (event->type() != WindowMessageEvent::eventType()) {
            return QObject::event(event);
        }
        auto* message = static_cast<WindowMessageEvent*>(event);
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

// A window and its instance server on a thread of their own, so that the
// test's blocking sends find them answering.
class ServingThread {
public:
    ServingThread() {
        thread_.start();
        window_.moveToThread(&thread_);
    }
    ~ServingThread() {
        onThread([this] { server_.reset(); });
        thread_.quit();
        thread_.wait();
    }

    bool listen(const QString& path) {
        bool listening = false;
        onThread([&] {
            server_ = std::make_unique<InstanceServer>(&window_);
            listening = server_->listen(path);
        });
        return listening;
    }
    // A server that answers with another identity.
    bool listenAsStranger(const QString& path) {
        bool listening = false;
        onThread([&] {
            stranger_ = std::make_unique<QLocalServer>();
            QObject::connect(stranger_.get(), &QLocalServer::newConnection, [this] {
                while (QLocalSocket* connection = stranger_->nextPendingConnection()) {
                    connection->write("XXXX", 4);
                    connection->flush();
                }
            });
            listening = stranger_->listen(path);
        });
        return listening;
    }
    std::vector<Received> received() const { return window_.received(); }

private:
    template <typename Work> void onThread(Work work) {
        QObject context;
        context.moveToThread(&thread_);
        QMetaObject::invokeMethod(&context, work, Qt::BlockingQueuedConnection);
    }

    QThread thread_;
    RecordingWindow window_;
    std::unique_ptr<InstanceServer> server_;
    std::unique_ptr<QLocalServer> stranger_;
};

class InstanceMessengerTest : public ::testing::Test {
protected:
    QString socketPath() const { return QString::fromStdString(folder_.file("socket")); }
    testing::TemporaryFolder folder_;
};

int stopAtFirst(InstanceWindow&, int) {
    return 0;
}

TEST_F(InstanceMessengerTest, EachModeSendsItsOneMessageAndWaitsForTheAnswer) {
    ServingThread instance;
    ASSERT_TRUE(instance.listen(socketPath()));

    EXPECT_TRUE(
        notifyInstanceWindows(::getpid(), instanceWindowCallback, kNotifyOpen, socketPath()));
    EXPECT_TRUE(
        notifyInstanceWindows(::getpid(), instanceWindowCallback, kNotifyKill, socketPath()));
    const std::vector<Received> received = instance.received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, 0x5350u);
    EXPECT_EQ(received[0].wParam, 0x4F50454Eu);
    EXPECT_EQ(received[1].message, 0x4D4Bu);
    EXPECT_EQ(received[1].wParam, 0x4C4C494Bu);
    EXPECT_EQ(received[1].lParam, 0);
}

TEST_F(InstanceMessengerTest, TheWindowIdentifiesItselfAndItsAnswerComesBack) {
    ServingThread instance;
    ASSERT_TRUE(instance.listen(socketPath()));
    std::optional<std::intptr_t> answer;
    std::uint32_t identity = 0;
    static std::optional<std::intptr_t>* answerOut;
    static std::uint32_t* identityOut;
    answerOut = &answer;
    identityOut = &identity;
    const auto sendOpen = [](InstanceWindow& window, int) {
        *identityOut = window.identity;
        *answerOut = sendInstanceMessage(window, message::Open, wparam::Open, -5);
        return 0;
    };
    ASSERT_TRUE(notifyInstanceWindows(::getpid(), sendOpen, 0, socketPath()));
    EXPECT_EQ(identity, kMainWindowIdentity);
    EXPECT_EQ(answer, 77);
    ASSERT_EQ(instance.received().size(), 1u);
    EXPECT_EQ(instance.received()[0].lParam, -5);
}

TEST_F(InstanceMessengerTest, OnlyTheInstanceMessagesReachTheWindow) {
    ServingThread instance;
    ASSERT_TRUE(instance.listen(socketPath()));
    static std::optional<std::intptr_t> answer;
    const auto sendOther = [](InstanceWindow& window, int) {
        answer = sendInstanceMessage(window, message::DeviceRemoved, 0);
        return 0;
    };
    ASSERT_TRUE(notifyInstanceWindows(::getpid(), sendOther, 0, socketPath()));
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(instance.received().empty());
}

TEST_F(InstanceMessengerTest, AWindowOfAnotherProcessIsNotMet) {
    ServingThread instance;
    ASSERT_TRUE(instance.listen(socketPath()));
    EXPECT_FALSE(
        notifyInstanceWindows(::getpid() + 1, instanceWindowCallback, kNotifyKill, socketPath()));
    EXPECT_FALSE(notifyInstanceWindows(0, instanceWindowCallback, kNotifyKill, socketPath()));
    EXPECT_TRUE(instance.received().empty());
}

TEST_F(InstanceMessengerTest, AServerWithoutTheMainIdentityGetsNothing) {
    ServingThread stranger;
    ASSERT_TRUE(stranger.listenAsStranger(socketPath()));
    static int callbackResult = -1;
    const auto recordResult = [](InstanceWindow& window, int mode) {
        callbackResult = instanceWindowCallback(window, mode);
        return callbackResult;
    };
    EXPECT_TRUE(notifyInstanceWindows(::getpid(), recordResult, kNotifyOpen, socketPath()));
    EXPECT_EQ(callbackResult, 1);
}

TEST_F(InstanceMessengerTest, NoServerMeansNoWindow) {
    EXPECT_FALSE(notifyInstanceWindows(::getpid(), stopAtFirst, 0, socketPath()));
    EXPECT_FALSE(notifyInstanceWindows(::getpid(), stopAtFirst, 0, QString()));
}

// A socket file whose server is gone, as a crashed instance leaves it.
void leaveStaleSocket(const std::string& path) {
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
    ASSERT_EQ(::bind(descriptor, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(descriptor);
}

TEST_F(InstanceMessengerTest, AStaleSocketFileIsReplacedButALiveServerIsNot) {
    leaveStaleSocket(socketPath().toStdString());
    // Connecting to the stale file fails and leaves it alone.
    EXPECT_FALSE(notifyInstanceWindows(::getpid(), stopAtFirst, 0, socketPath()));
    ASSERT_TRUE(std::filesystem::exists(socketPath().toStdString()));

    ServingThread first;
    ASSERT_TRUE(first.listen(socketPath()));
    ServingThread second;
    EXPECT_FALSE(second.listen(socketPath()));
    EXPECT_TRUE(
        notifyInstanceWindows(::getpid(), instanceWindowCallback, kNotifyOpen, socketPath()));
    EXPECT_EQ(first.received().size(), 1u);
    EXPECT_TRUE(second.received().empty());
}

TEST(InstanceSocket, LivesInTheRuntimeFolder) {
    testing::TemporaryFolder runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    EXPECT_EQ(instanceSocketPath().toStdString(), runtime.file("Tavrik_Window_09A"));
    ::unsetenv("XDG_RUNTIME_DIR");
}

} // namespace
} // namespace tavrik::platform
