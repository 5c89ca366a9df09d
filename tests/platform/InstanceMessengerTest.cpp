#include "platform/InstanceMessenger.h"

#include "platform/MainWindowPort.h"
#include "platform/WindowMessage.h"
#include "tests/support/GuiTestApplication.h"
#include "tests/support/InstanceServingThread.h"
#include "tests/support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
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

} // namespace
} // namespace tavrik::platform
