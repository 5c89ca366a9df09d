// The virtual keyboard's control socket: what start finds at its path, and
// what stop leaves there.

#include "service/virtual/ControlServer.h"

#include "service/virtual/ControlClient.h"
#include "tests/support/TemporaryFolder.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tavrik::service {
namespace {

ControlServer echoServer(const std::string& path) {
    return ControlServer(path, [](std::string_view line) { return "ok " + std::string(line); });
}

// A socket file whose server went without removing it.
void leaveStaleSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(socket);
}

bool exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

TEST(ControlServer, StartReplacesOnlyAStaleSocketAndStopRemovesItsOwn) {
    const testing::TemporaryFolder folder;
    const std::string path = folder.file("control");
    leaveStaleSocket(path);
    ControlServer server = echoServer(path);
    std::string error;
    ASSERT_TRUE(server.start(error)) << error;
    ControlClient client(path);
    std::string reply;
    ASSERT_TRUE(client.request("state", reply, error)) << error;
    EXPECT_EQ(reply, "ok state");

    ControlServer second = echoServer(path);
    EXPECT_FALSE(second.start(error));
    EXPECT_EQ(error, "another virtual keyboard serves " + path);

    const std::string plain = folder.file("plain");
    std::ofstream(plain) << "not a socket";
    ControlServer onAFile = echoServer(plain);
    EXPECT_FALSE(onAFile.start(error));
    EXPECT_EQ(error, plain + " exists and is not a socket");

    server.stop();
    EXPECT_FALSE(exists(path));
    EXPECT_FALSE(client.request("state", reply, error));
}

} // namespace
} // namespace tavrik::service
