#pragma once
// Messages between instances of the program. The main window of the running
// instance serves a per-user local socket in the runtime folder
// (InstanceServer). Another instance connects, reads the window identity the
// server answers with, checks which process serves it, and sends message and
// wParam, waiting for the handler's result.
//
// Wire format, little-endian: on connection the server writes its identity
// (u32, MAIN = 0x4D41494E); a request is message (u32), wParam (u64), lParam
// (i64); the answer is the handler's result (i64).

#include "platform/InstanceMessages.h"
#include "platform/LocalSocket.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>
#include <sys/types.h>

class QSocketNotifier;

namespace tavrik::platform {

class SocketPeer;

// "<runtime folder>/Tavrik_Window_09A"; empty without a runtime folder.
QString instanceSocketPath();

// Serves the instance socket for one window: the instance messages that
// arrive (message::Open and message::Kill; others are answered with 0 and
// not delivered) are sent to the window as WindowMessageEvent, and the
// window's result goes back to the sender.
class InstanceServer final : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(QObject* window, QObject* parent = nullptr);
    ~InstanceServer() override;

    // Starts serving at `socketPath` (default instanceSocketPath()), for the
    // current user only. A socket file that no server answers on is left
    // from an ended instance and is replaced; one that answers is not
    // touched, and listening fails.
    bool listen(const QString& socketPath = instanceSocketPath());
    // Stops listening and removes the socket file; connections already
    // accepted are still served.
    void close();
    bool isListening() const;
    QString socketPath() const;

private:
    void acceptConnections();
    void receiveFrom(SocketPeer* peer);
    void serve(SocketPeer* peer);

    QObject* window_;
    LocalListener listener_;
    QSocketNotifier* acceptNotifier_ = nullptr;
};

// One window met on the socket: its owner process and the identity it
// answered with, the connection to send through, and when the hand-over
// gives up waiting for that window.
struct InstanceWindow {
    pid_t ownerProcess = 0;
    std::uint32_t identity = 0;
    UniqueFd connection;
    SocketDeadline deadline = SocketDeadline::max();
};

// Returns 0 to stop the walk, anything else to go on.
using InstanceWindowCallback = int (*)(InstanceWindow& window, int mode);

// Calls `callback` for each window of process `processId` reachable on the
// instance socket, and returns whether a window of that process was met.
// There is one such window at most: the one serving the socket.
bool notifyInstanceWindows(pid_t processId, InstanceWindowCallback callback, int mode,
                           const QString& socketPath = instanceSocketPath());

// A window that does not answer with the MAIN identity is passed over (1).
// Otherwise sends message::Open with wParam::Open (mode 0) or message::Kill
// with wParam::Kill (mode 1), waits for the answer, and returns 0.
int instanceWindowCallback(InstanceWindow& window, int mode);

// Sends one request and waits for the result until the window's deadline;
// nothing when the window did not answer in time or the connection broke.
std::optional<std::intptr_t> sendInstanceMessage(InstanceWindow& window, std::uint32_t message,
                                                 std::uintptr_t wParam, std::intptr_t lParam = 0);

} // namespace tavrik::platform
