#include "platform/InstanceMessenger.h"

#include "platform/ByteOrder.h"
#include "platform/MainWindowPort.h"
#include "platform/RuntimeFolder.h"
#include "platform/SocketPeer.h"
#include "platform/WindowMessage.h"

#include <QPointer>
#include <QSocketNotifier>
#include <array>
#include <chrono>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrik::platform {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

constexpr const char* kSocketName = "Tavrik_Window_09A";
constexpr std::size_t kIdentitySize = 4;
constexpr std::size_t kRequestSize = 4 + 8 + 8;
constexpr std::size_t kAnswerSize = 8;

using Request = std::array<std::uint8_t, kRequestSize>;
using Answer = std::array<std::uint8_t, kAnswerSize>;

// A connect either succeeds or fails at once on a local socket; the wait only
// covers a full listen queue.
constexpr milliseconds kConnectTimeout{2000};
// The whole hand-over to a running instance, from its identity to the
// answer of its handler. The running instance normally answers within
// milliseconds; one that is blocked (a message box its handler shows, a hung
// process) is given up on after this, and the new start ends anyway.
constexpr milliseconds kHandOverTimeout{4000};

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

// Runs the window's handler for an instance message; others get 0.
std::intptr_t deliver(QObject* window, const Request& request) {
    const std::uint32_t message = readU32(request.data());
    const auto wParam = static_cast<std::uintptr_t>(readU64(request.data() + 4));
    const auto lParam = static_cast<std::intptr_t>(readU64(request.data() + 12));
    return isInstanceMessage(message) ? sendWindowMessage(window, message, wParam, lParam) : 0;
}

Answer answerOf(std::intptr_t result) {
    Answer answer{};
    writeU64(answer.data(), static_cast<std::uint64_t>(result));
    return answer;
}

std::uint32_t readIdentity(int socket, SocketDeadline deadline) {
    std::array<std::uint8_t, kIdentitySize> bytes{};
    return receiveAll(socket, bytes, deadline) ? readU32(bytes.data()) : 0;
}

// A server answers at this path.
bool isAnswered(const std::string& socketPath) {
    return connectLocal(socketPath, steady_clock::now() + kConnectTimeout).valid();
}

bool anythingAt(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
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
    : QObject(parent), window_(window) {}

InstanceServer::~InstanceServer() {
    close();
}

bool InstanceServer::listen(const QString& socketPath) {
    close();
    const std::string path = socketPath.toStdString();
    if (path.empty()) {
        return false;
    }
    // A file at the path is looked at first: one that answers is a running
    // server and stays; one that does not is left from an instance that
    // ended without removing it.
    if (anythingAt(path)) {
        if (isAnswered(path)) {
            return false;
        }
        ::unlink(path.c_str());
    }
    if (!listener_.listen(path)) {
        return false;
    }
    acceptNotifier_ = new QSocketNotifier(listener_.descriptor(), QSocketNotifier::Read, this);
    connect(acceptNotifier_, &QSocketNotifier::activated, this, &InstanceServer::acceptConnections);
    return true;
}

void InstanceServer::close() {
    if (acceptNotifier_ != nullptr) {
        // A handler may close the server while this notifier is delivering.
        acceptNotifier_->setEnabled(false);
        acceptNotifier_->deleteLater();
        acceptNotifier_ = nullptr;
    }
    listener_.close();
}

bool InstanceServer::isListening() const {
    return listener_.isListening();
}

QString InstanceServer::socketPath() const {
    return QString::fromStdString(listener_.path());
}

void InstanceServer::acceptConnections() {
    const QPointer<InstanceServer> alive(this);
    while (alive) {
        UniqueFd socket = listener_.accept();
        if (!socket) {
            return;
        }
        auto* peer = new SocketPeer(std::move(socket), this);
        connect(&peer->readNotifier(), &QSocketNotifier::activated, this,
                [this, peer] { receiveFrom(peer); });
        // A peer that gave up while this instance was busy has left its
        // request and gone; writing to it first would lose what it sent.
        // What it asked for is still done: reading what is there now serves
        // it, before anything is written.
        const QPointer<SocketPeer> guarded(peer);
        receiveFrom(peer);
        if (guarded && !guarded->hasEnded()) {
            std::array<std::uint8_t, kIdentitySize> identity{};
            writeU32(identity.data(), kMainWindowIdentity);
            guarded->send(identity);
        }
    }
}

void InstanceServer::receiveFrom(SocketPeer* peer) {
    peer->receive();
    serve(peer);
}

void InstanceServer::serve(SocketPeer* peer) {
    // A handler that runs a nested event loop (a message box) must not see
    // the next request of the same peer before it has answered this one.
    if (peer->isBusy()) {
        return;
    }
    const QPointer<SocketPeer> guarded(peer);
    peer->setBusy(true);
    Request request{};
    while (guarded && guarded->take(request)) {
        const std::intptr_t result = deliver(window_, request);
        if (!guarded) {
            return;
        }
        // The handler may have ended the event loop (a kill); the answer must
        // leave now.
        guarded->send(answerOf(result));
    }
    if (guarded) {
        guarded->setBusy(false);
    }
}

bool notifyInstanceWindows(pid_t processId, InstanceWindowCallback callback, int mode,
                           const QString& socketPath) {
    if (processId <= 0 || callback == nullptr || socketPath.isEmpty()) {
        return false;
    }
    InstanceWindow window;
    window.connection =
        connectLocal(socketPath.toStdString(), steady_clock::now() + kConnectTimeout);
    if (!window.connection) {
        return false;
    }
    window.deadline = steady_clock::now() + kHandOverTimeout;
    window.ownerProcess = peerProcess(window.connection.get());
    if (window.ownerProcess != processId) {
        return false;
    }
    window.identity = readIdentity(window.connection.get(), window.deadline);
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
    if (!window.connection) {
        return std::nullopt;
    }
    Request request{};
    writeU32(request.data(), message);
    writeU64(request.data() + 4, static_cast<std::uint64_t>(wParam));
    writeU64(request.data() + 12, static_cast<std::uint64_t>(lParam));
    Answer answer{};
    if (!sendAll(window.connection.get(), request, window.deadline) ||
        !receiveAll(window.connection.get(), answer, window.deadline)) {
        return std::nullopt;
    }
    return static_cast<std::intptr_t>(readU64(answer.data()));
}

} // namespace tavrik::platform
