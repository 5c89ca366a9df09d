#include "platform/InstanceMessenger.h"

#include "platform/ByteOrder.h"
#include "platform/LocalSocket.h"
#include "platform/MainWindowPort.h"
#include "platform/WindowMessage.h"
#include "tests/support/GuiTestApplication.h"
#include "tests/support/InstanceServingThread.h"
#include "tests/support/TemporaryFolder.h"

#include <chrono>
#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace tavrik::platform {
namespace {

using testing::InstanceServingThread;
using testing::Received;

class InstanceMessengerTest : public ::testing::Test {
protected:
    QString socketPath() const { return QString::fromStdString(folder_.file("socket")); }
    testing::TemporaryFolder folder_;
};

int stopAtFirst(InstanceWindow&, int) {
    return 0;
}

TEST_F(InstanceMessengerTest, EachModeSendsItsOneMessageAndWaitsForTheAnswer) {
    InstanceServingThread instance;
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

TEST_F(InstanceMessengerTest, TheWindowIdentifiesItselfAndOnlyInstanceMessagesReachIt) {
    InstanceServingThread instance;
    ASSERT_TRUE(instance.listen(socketPath()));
    struct Seen {
        std::uint32_t identity = 0;
        std::optional<std::intptr_t> openAnswer;
        std::optional<std::intptr_t> otherAnswer;
    };
    static Seen seen;
    const auto sendTwo = [](InstanceWindow& window, int) {
        seen.identity = window.identity;
        seen.openAnswer = sendInstanceMessage(window, message::Open, wparam::Open, -5);
        seen.otherAnswer = sendInstanceMessage(window, message::DeviceRemoved, 0);
        return 0;
    };
    ASSERT_TRUE(notifyInstanceWindows(::getpid(), sendTwo, 0, socketPath()));
    EXPECT_EQ(seen.identity, kMainWindowIdentity);
    EXPECT_EQ(seen.openAnswer, 77); // the window's own result
    EXPECT_EQ(seen.otherAnswer, 0);
    ASSERT_EQ(instance.received().size(), 1u);
    EXPECT_EQ(instance.received()[0].lParam, -5);
}

TEST_F(InstanceMessengerTest, AWindowOfAnotherProcessIsNotMet) {
    InstanceServingThread instance;
    ASSERT_TRUE(instance.listen(socketPath()));
    EXPECT_FALSE(
        notifyInstanceWindows(::getpid() + 1, instanceWindowCallback, kNotifyKill, socketPath()));
    EXPECT_FALSE(notifyInstanceWindows(0, instanceWindowCallback, kNotifyKill, socketPath()));
    EXPECT_TRUE(instance.received().empty());
}

TEST_F(InstanceMessengerTest, AServerWithoutTheMainIdentityGetsNothing) {
    InstanceServingThread stranger;
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

    InstanceServingThread first;
    ASSERT_TRUE(first.listen(socketPath()));
    InstanceServingThread second;
    EXPECT_FALSE(second.listen(socketPath()));
    EXPECT_TRUE(
        notifyInstanceWindows(::getpid(), instanceWindowCallback, kNotifyOpen, socketPath()));
    EXPECT_EQ(first.received().size(), 1u);
    EXPECT_TRUE(second.received().empty());
}

TEST_F(InstanceMessengerTest, TheSocketIsTheUsersOnlyAndGoesWithItsServer) {
    {
        InstanceServingThread first;
        ASSERT_TRUE(first.listen(socketPath()));
        struct stat status {};
        ASSERT_EQ(::lstat(socketPath().toUtf8().data(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0600u);
    }
    EXPECT_FALSE(std::filesystem::exists(socketPath().toStdString()));
    InstanceServingThread next;
    ASSERT_TRUE(next.listen(socketPath()));
    EXPECT_TRUE(
        notifyInstanceWindows(::getpid(), instanceWindowCallback, kNotifyOpen, socketPath()));
    EXPECT_EQ(next.received().size(), 1u);
}

TEST_F(InstanceMessengerTest, APeerThatBreaksOffOrFloodsHoldsNobodyUp) {
    InstanceServingThread instance;
    ASSERT_TRUE(instance.listen(socketPath()));
    const auto deadline = [] {
        return std::chrono::steady_clock::now() + std::chrono::seconds(20);
    };
    // Half a request, then gone; and open requests sent on and on while none
    // of the answers is read: the flood is dropped unserved, however fast
    // the instance reads.
    std::vector<std::uint8_t> half(10, 0);
    std::vector<std::uint8_t> flood(20 * 250000);
    for (std::size_t at = 0; at < flood.size(); at += 20) {
        writeU32(&flood[at], message::Open);
        writeU32(&flood[at + 4], wparam::Open);
    }
    for (const auto* requests : {&half, &flood}) {
        SCOPED_TRACE(requests->size());
        UniqueFd peer = connectLocal(socketPath().toStdString(), deadline());
        ASSERT_TRUE(peer);
        const bool allSent = sendAll(peer.get(), *requests, deadline());
        EXPECT_EQ(allSent, requests == &half);
        peer.reset();
        EXPECT_TRUE(
            notifyInstanceWindows(::getpid(), instanceWindowCallback, kNotifyOpen, socketPath()));
    }
    EXPECT_EQ(instance.received().size(), 2u);
}

// A running instance that is stuck: it listens, and with `identifies` it
// accepts and says MAIN, but it never answers a request.
class SilentInstance {
public:
    SilentInstance(const std::string& path, bool identifies) {
        listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
        bound_ = ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 ::listen(listener_, 4) == 0;
        if (bound_ && identifies) {
            acceptor_ = std::thread([this] {
                connection_ = ::accept(listener_, nullptr, nullptr);
                const std::uint8_t identity[4] = {0x4E, 0x49, 0x41, 0x4D};
                [[maybe_unused]] const auto written = ::write(connection_, identity, 4);
            });
        }
    }
    ~SilentInstance() {
        if (acceptor_.joinable()) {
            acceptor_.join();
        }
        ::close(connection_);
        ::close(listener_);
    }
    bool bound() const { return bound_; }

private:
    int listener_ = -1;
    int connection_ = -1;
    bool bound_ = false;
    std::thread acceptor_;
};

TEST_F(InstanceMessengerTest, ARequestLeftByAPeerThatGaveUpIsStillServed) {
    InstanceServingThread instance;
    ASSERT_TRUE(instance.listen(socketPath()));
    std::promise<void> release;
    instance.holdUntil(release.get_future().share());

    // While the instance is busy: connect, send OPEN without waiting for the
    // identity, and leave.
    const int peer = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketPath().toUtf8().data());
    ASSERT_EQ(::connect(peer, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    std::uint8_t request[20] = {0x50, 0x53, 0, 0, 0x4E, 0x45, 0x50, 0x4F};
    ASSERT_EQ(::write(peer, request, sizeof request), static_cast<ssize_t>(sizeof request));
    ::close(peer);
    release.set_value();

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (instance.received().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(instance.received().size(), 1u);
    EXPECT_EQ(instance.received()[0].message, 0x5350u);
    EXPECT_EQ(instance.received()[0].wParam, 0x4F50454Eu);
}

TEST_F(InstanceMessengerTest, AStuckInstanceIsGivenUpOnAfterTheHandOverTime) {
    for (const bool identifies : {false, true}) {
        SCOPED_TRACE(identifies ? "says MAIN, never answers" : "never says who it is");
        std::filesystem::remove(socketPath().toStdString());
        SilentInstance stuck(socketPath().toStdString(), identifies);
        ASSERT_TRUE(stuck.bound());
        static std::optional<std::intptr_t> answer;
        answer = 123;
        const auto sendOpen = [](InstanceWindow& window, int) {
            answer = window.identity == kMainWindowIdentity
                         ? sendInstanceMessage(window, message::Open, wparam::Open)
                         : std::nullopt;
            return 0;
        };
        const auto started = std::chrono::steady_clock::now();
        EXPECT_TRUE(notifyInstanceWindows(::getpid(), sendOpen, kNotifyOpen, socketPath()));
        EXPECT_EQ(answer, std::nullopt);
        // Bounded, not timed: a few seconds of hand-over, never the 20 s and
        // more of a hang.
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15));
    }
}

} // namespace
} // namespace tavrik::platform
