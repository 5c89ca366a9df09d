#include "platform/SessionInstance.h"

#include "platform/LocalSocket.h"
#include "platform/ProcessWalk.h"

#include <chrono>
#include <unistd.h>

namespace tavrik::platform {
namespace {

// A serving instance accepts at once; a full queue is waited for this long.
constexpr auto kConnectPatience = std::chrono::seconds(2);

} // namespace

pid_t findSessionInstance(std::string_view imageName, const std::string& socketPath) {
    const UniqueFd connection =
        socketPath.empty()
            ? UniqueFd()
            : connectLocal(socketPath, std::chrono::steady_clock::now() + kConnectPatience);
    const pid_t owner = connection.valid() ? peerProcess(connection.get()) : 0;
    if (isInstanceProcess(owner, imageName)) {
        return owner;
    }
    // As the walk of all processes found it when no other instance ran: the
    // calling process itself, whose own window is not on the socket.
    const pid_t self = ::getpid();
    return isInstanceProcess(self, imageName) ? self : 0;
}

} // namespace tavrik::platform
