#include "platform/InstanceMessenger.h"

#include "platform/ByteOrder.h"
#include "platform/MainWindowPort.h"
#include "platform/RuntimeFolder.h"
#include "platform/WindowMessage.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QVariant>
#include <algorithm>
#include <array>
#include <sys/socket.h>

namespace tavrik::platform {
namespace {

constexpr const char* kSocketName = "Tavrik_Window_09A";
constexpr qint64 kIdentitySize = 4;
constexpr qint64 kRequestSize = 4 + 8 + 8;
constexpr qint64 kAnswerSize = 8;

// A connect either succeeds or fails at once on a local socket; the wait only
// covers a full listen queue.
constexpr int kConnectTimeoutMs = 2000;
// The whole hand-over to a running instance, from its identity to the
// answer of its handler. The running instance normally answers within
// milliseconds; one that is blocked (a message box its handler shows, a hung
// process) is given up on after this, and the new start ends anyway.
constexpr int kHandOverTimeoutMs = 4000;

const char* const kBusyProperty = "tavrikServing";

bool isInstanceMessage(std::uint32_t message) {
    return message == message::Open || message == message::Kill;
}

std::uint64_t readU64(const std::uint8_t* bytes) {
    return static_cast<std::uint64_t>(readU32(bytes)) |
           (static_cast<std::uint64_t>(readU32(bytes + 4)) << 32);
}

void writeU64(std::uint8_t* bytes, std::uint64_t value) {
    writeU32(bytes, static_cast<std::uint32_t>(value));
    writeU32(bytes + 4, static_cast<std::uint32_t>(value >> 32));
}

// Waits until `count` bytes can be read or the deadline passes.
bool waitForBytes(QLocalSocket& socket, qint64 count, QDeadlineTimer deadline) {
    while (socket.bytesAvailable() < count) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(static_cast<int>(
                                         std::max<qint64>(1, deadline.remainingTime())))) {
            return socket.bytesAvailable() >= count;
        }
    }
    return true;
}

pid_t peerProcessOf(const QLocalSocket& socket) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    const auto descriptor = static_cast<int>(socket.socketDescriptor());
    if (descriptor < 0 ||
        ::getsockopt(descriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0) {
        return 0;
    }
    return credentials.pid;
}

std::uint32_t readIdentity(QLocalSocket& socket, QDeadlineTimer deadline) {
    if (!waitForBytes(socket, kIdentitySize, deadline)) {
        return 0;
    }
    std::array<std::uint8_t, kIdentitySize> bytes{};
    socket.read(reinterpret_cast<char*>(bytes.data()), kIdentitySize);
    return readU32(bytes.data());
}

// A server answers at this path.
bool isAnswered(const QString& socketPath) {
    QLocalSocket probe;
    probe.connectToServer(socketPath);
    const bool answered = probe.waitForConnected(kConnectTimeoutMs);
    probe.abort();
    return answered;
}

} // namespace

QString instanceSocketPath() {
    const std::string folder = runtimeFolder();
    if (folder.empty()) {
        return {};
    }
    return QString::fromStdString(folder) + QLatin1Char('/') + QLatin1String(kSocketName);
}

InstanceServer::InstanceServer(QObject* window, QObject* parent)
    : QObject(parent), window_(window), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::acceptConnections);
}

InstanceServer::~InstanceServer() {
    close();
}

bool InstanceServer::listen(const QString& socketPath) {
    close();
    if (socketPath.isEmpty()) {
        return false;
    }
    // QLocalServer would put its socket in place of any file at the path
    // (with UserAccessOption it binds elsewhere and renames), taking the
    // address from a live server too. So a file there is looked at first:
    // one that answers is a running server and stays; one that does not is
    // left from an instance that ended without removing it.
    if (QFileInfo::exists(socketPath) || QFileInfo(socketPath).isSymLink()) {
        if (isAnswered(socketPath)) {
            return false;
        }
        QLocalServer::removeServer(socketPath);
    }
    return server_->listen(socketPath);
}

void InstanceServer::close() {
    if (server_->isListening()) {
        server_->close();
    }
}

bool InstanceServer::isListening() const {
    return server_->isListening();
}

QString InstanceServer::socketPath() const {
    return server_->fullServerName();
}

void InstanceServer::acceptConnections() {
    while (QLocalSocket* connection = server_->nextPendingConnection()) {
        connect(connection, &QLocalSocket::disconnected, connection, &QObject::deleteLater);
        connect(connection, &QLocalSocket::readyRead, this,
                [this, connection] { serve(connection); });
        // A peer that gave up while this instance was busy has left its
        // request and gone; writing to it would drop what it sent. What it
        // asked for is still done: reading what is there now serves it,
        // through readyRead, before anything is written.
        QPointer<QLocalSocket> guarded(connection);
        connection->waitForReadyRead(0);
        if (!guarded || guarded->state() != QLocalSocket::ConnectedState) {
            continue;
        }
        std::array<std::uint8_t, kIdentitySize> identity{};
        writeU32(identity.data(), kMainWindowIdentity);
        connection->write(reinterpret_cast<const char*>(identity.data()), kIdentitySize);
        connection->flush();
    }
}

void InstanceServer::serve(QLocalSocket* connection) {
    // A handler that runs a nested event loop (a message box) must not see
    // the next request of the same peer before it has answered this one.
    if (connection->property(kBusyProperty).toBool()) {
        return;
    }
    QPointer<QLocalSocket> guarded(connection);
    connection->setProperty(kBusyProperty, true);
    while (guarded && guarded->bytesAvailable() >= kRequestSize) {
        std::array<std::uint8_t, kRequestSize> request{};
        guarded->read(reinterpret_cast<char*>(request.data()), kRequestSize);
        const std::uint32_t message = readU32(request.data());
        const auto wParam = static_cast<std::uintptr_t>(readU64(request.data() + 4));
        const auto lParam = static_cast<std::intptr_t>(readU64(request.data() + 12));
        const std::intptr_t result =
            isInstanceMessage(message) ? sendWindowMessage(window_, message, wParam, lParam) : 0;
        if (!guarded) {
            return;
        }
        std::array<std::uint8_t, kAnswerSize> answer{};
        writeU64(answer.data(), static_cast<std::uint64_t>(result));
        guarded->write(reinterpret_cast<const char*>(answer.data()), kAnswerSize);
        // The handler may have ended the event loop (a kill); the answer must
        // leave now.
        guarded->flush();
    }
    if (guarded) {
        guarded->setProperty(kBusyProperty, false);
    }
}

bool notifyInstanceWindows(pid_t processId, InstanceWindowCallback callback, int mode,
                           const QString& socketPath) {
    if (processId <= 0 || callback == nullptr || socketPath.isEmpty()) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(kConnectTimeoutMs)) {
        return false;
    }
    InstanceWindow window;
    window.deadline = QDeadlineTimer(kHandOverTimeoutMs);
    window.ownerProcess = peerProcessOf(socket);
    if (window.ownerProcess != processId) {
        return false;
    }
    window.identity = readIdentity(socket, window.deadline);
    window.connection = &socket;
    callback(window, mode);
    return true;
}

int instanceWindowCallback(InstanceWindow& window, int mode) {
    if (window.identity != kMainWindowIdentity) {
        return 1;
    }
    if (mode == kNotifyOpen) {
        sendInstanceMessage(window, message::Open, wparam::Open);
    } else if (mode == kNotifyKill) {
        sendInstanceMessage(window, message::Kill, wparam::Kill);
    }
    return 0;
}

std::optional<std::intptr_t> sendInstanceMessage(InstanceWindow& window, std::uint32_t message,
                                                 std::uintptr_t wParam, std::intptr_t lParam) {
    QLocalSocket* socket = window.connection;
    if (socket == nullptr || socket->state() != QLocalSocket::ConnectedState) {
        return std::nullopt;
    }
    std::array<std::uint8_t, kRequestSize> request{};
    writeU32(request.data(), message);
    writeU64(request.data() + 4, static_cast<std::uint64_t>(wParam));
    writeU64(request.data() + 12, static_cast<std::uint64_t>(lParam));
    const QDeadlineTimer deadline = window.deadline;
    if (socket->write(reinterpret_cast<const char*>(request.data()), kRequestSize) !=
        kRequestSize) {
        return std::nullopt;
    }
    while (socket->bytesToWrite() > 0 && !deadline.hasExpired()) {
        if (!socket->waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
            break;
        }
    }
    if (socket->bytesToWrite() > 0) {
        return std::nullopt;
    }
    if (!waitForBytes(*socket, kAnswerSize, deadline)) {
        return std::nullopt;
    }
    std::array<std::uint8_t, kAnswerSize> answer{};
    socket->read(reinterpret_cast<char*>(answer.data()), kAnswerSize);
    return static_cast<std::intptr_t>(readU64(answer.data()));
}

} // namespace tavrik::platform
