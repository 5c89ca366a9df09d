#include "platform/LocalSocket.h"

#include "tests/support/TemporaryFolder.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

class LocalSocketTest : public ::testing::Test {
protected:
    std::string path() const { return folder_.file("socket"); }
    testing::TemporaryFolder folder_;
};

mode_t modeOf(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}

TEST_F(LocalSocketTest, TheSocketFileIsTheUsersOnlyWhateverTheUmaskAndCloseRemovesIt) {
    for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{077}}) {
        SCOPED_TRACE(mask);
        const mode_t previous = ::umask(mask);
        LocalListener listener;
        const bool listening = listener.listen(path());
        ::umask(previous);
        ASSERT_TRUE(listening);
        EXPECT_EQ(modeOf(path()), 0600u);
        listener.close();
        EXPECT_FALSE(std::filesystem::exists(path()));
    }
}

TEST_F(LocalSocketTest, NothingAtThePathIsReplacedByListening) {
    std::ofstream(path()) << "kept";
    LocalListener listener;
    EXPECT_FALSE(listener.listen(path()));
    EXPECT_EQ(std::filesystem::file_size(path()), 4u);
}

TEST_F(LocalSocketTest, CloseLeavesTheFileOfAServerThatTookThePathOver) {
    LocalListener first;
    ASSERT_TRUE(first.listen(path()));
    std::filesystem::remove(path());
    LocalListener second;
    ASSERT_TRUE(second.listen(path()));
    first.close();
    EXPECT_TRUE(connectLocal(path(), steady_clock::now() + milliseconds(1000)).valid());
}

TEST_F(LocalSocketTest, ConnectingWhereNobodyListensFails) {
    {
        // Moved away, the file outlives its listener: a socket nobody serves.
        LocalListener ended;
        ASSERT_TRUE(ended.listen(folder_.file("live")));
        std::filesystem::rename(folder_.file("live"), folder_.file("stale"));
    }
    ASSERT_TRUE(std::filesystem::is_socket(folder_.file("stale")));
    std::ofstream(folder_.file("plain")) << "x";
    const std::string paths[] = {"", folder_.file(std::string(120, 'n')), folder_.file("missing"),
                                 folder_.file("plain"), folder_.file("stale")};
    for (const std::string& target : paths) {
        SCOPED_TRACE(target);
        EXPECT_FALSE(connectLocal(target, steady_clock::now() + milliseconds(1000)).valid());
    }
}

// A connected pair through a listener: the client's and the server's end.
struct Pair {
    UniqueFd client;
    UniqueFd server;
};

Pair connectPair(LocalListener& listener) {
    Pair pair;
    pair.client = connectLocal(listener.path(), steady_clock::now() + milliseconds(1000));
    pair.server = listener.accept();
    return pair;
}

TEST_F(LocalSocketTest, BytesGoAcrossAndAReceiveGivesUpAtItsDeadline) {
    LocalListener listener;
    ASSERT_TRUE(listener.listen(path()));
    Pair pair = connectPair(listener);
    ASSERT_TRUE(pair.client && pair.server);
    EXPECT_EQ(peerProcess(pair.client.get()), ::getpid());

    const std::array<std::uint8_t, 4> sent{1, 2, 3, 4};
    ASSERT_TRUE(sendAll(pair.client.get(), sent, steady_clock::now()));
    std::array<std::uint8_t, 3> received{};
    ASSERT_TRUE(receiveAll(pair.server.get(), received, steady_clock::now() + milliseconds(1000)));
    EXPECT_EQ(received, (std::array<std::uint8_t, 3>{1, 2, 3}));

    // One byte is waiting; two are asked for.
    std::array<std::uint8_t, 2> more{};
    const auto deadline = steady_clock::now() + milliseconds(50);
    EXPECT_FALSE(receiveAll(pair.server.get(), more, deadline));
    EXPECT_GE(steady_clock::now(), deadline);

    // What waits is taken up to the limit, and the rest stays.
    const std::vector<std::uint8_t> five{1, 2, 3, 4, 5};
    ASSERT_TRUE(sendAll(pair.client.get(), five, steady_clock::now()));
    std::vector<std::uint8_t> waiting{9};
    ASSERT_TRUE(receiveWaiting(pair.server.get(), waiting, 4));
    EXPECT_EQ(waiting, (std::vector<std::uint8_t>{9, 1, 2, 3}));
    ASSERT_TRUE(receiveAll(pair.server.get(), more, steady_clock::now()));
    EXPECT_EQ(more, (std::array<std::uint8_t, 2>{4, 5}));
}

TEST_F(LocalSocketTest, APeerThatIsGoneFailsSendsAndReceivesAtOnce) {
    LocalListener listener;
    ASSERT_TRUE(listener.listen(path()));
    Pair pair = connectPair(listener);
    ASSERT_TRUE(pair.client && pair.server);
    pair.server.reset();

    std::vector<std::uint8_t> waiting;
    EXPECT_FALSE(receiveWaiting(pair.client.get(), waiting, 16));
    std::array<std::uint8_t, 1> byte{};
    EXPECT_FALSE(receiveAll(pair.client.get(), byte, SocketDeadline::max()));
    // No SIGPIPE: the test process lives on to see the failure.
    EXPECT_FALSE(sendAll(pair.client.get(), byte, SocketDeadline::max()));
}

} // namespace
} // namespace tavrik::platform
