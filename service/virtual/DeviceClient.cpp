#include "service/virtual/DeviceClient.h"

#include "platform/LocalSocket.h"

#include <array>
#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrik::service {
namespace {

constexpr std::size_t kReceiveChunk = 4096;

} // namespace

std::unique_ptr<DeviceClient>
DeviceClient::connect(const std::string& socketPath,
                      std::chrono::steady_clock::time_point deadline) {
    platform::UniqueFd socket = platform::connectLocal(socketPath, deadline);
    if (!socket) {
        return nullptr;
    }
    std::array<std::uint8_t, kWireHeaderSize> header{};
    if (!platform::receiveAll(socket.get(), header, deadline) ||
        header[0] != static_cast<std::uint8_t>(WireType::State)) {
        return nullptr;
    }
    std::vector<std::uint8_t> payload(header[1]);
    if (!platform::receiveAll(socket.get(), payload, deadline)) {
        return nullptr;
    }
    const std::optional<DeviceState> state = decodeWireState(payload);
    if (!state) {
        return nullptr;
    }
    return std::unique_ptr<DeviceClient>(new DeviceClient(std::move(socket), *state));
}

DeviceClient::DeviceClient(platform::UniqueFd socket, DeviceState state)
    : socket_(std::move(socket)), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), state_(state) {}

DeviceClient::~DeviceClient() {
    stop();
}

void DeviceClient::start(BackendEvents& events, LostHandler lost) {
    std::lock_guard lock(mutex_);
    if (stopping_) {
        return;
    }
    events_ = &events;
    lost_ = std::move(lost);
    reader_ = std::thread([this] {
        readerId_ = std::this_thread::get_id();
        read();
    });
}

void DeviceClient::stop() {
    std::thread reader;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        reader = std::move(reader_);
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_.get(), &one, sizeof one);
    if (!reader.joinable()) {
        return;
    }
    if (reader.get_id() == std::this_thread::get_id()) {
        reader.detach();
    } else {
        reader.join();
    }
}

std::vector<HidInterface> DeviceClient::interfaces() {
    std::lock_guard lock(mutex_);
    return VirtualDevice::interfacesOf(state_);
}

DeviceState DeviceClient::state() {
    std::lock_guard lock(mutex_);
    return state_;
}

bool DeviceClient::ended() {
    std::lock_guard lock(mutex_);
    return ended_;
}

bool DeviceClient::writeOutput(std::uint32_t interfaceId, std::span<const std::uint8_t> report) {
    const std::vector<std::uint8_t> message =
        encodeWireReport(WireType::Write, interfaceId, report);
    if (std::this_thread::get_id() == readerId_.load()) {
        return send(message, false).has_value();
    }
    const std::optional<std::uint8_t> accepted = request(message);
    return accepted && *accepted == 1;
}

bool DeviceClient::sync() {
    if (std::this_thread::get_id() == readerId_.load()) {
        return true; // nothing of ours can be waiting on this thread
    }
    return request(encodeWire(WireType::Sync)).has_value();
}

std::optional<std::uint64_t> DeviceClient::send(const std::vector<std::uint8_t>& message,
                                                bool awaited) {
    std::lock_guard sending(sendMutex_);
    std::uint64_t number = 0;
    {
        std::lock_guard lock(mutex_);
        if (ended_) {
            return std::nullopt;
        }
        number = ++sent_;
        if (awaited) {
            awaited_ = number;
            reply_.reset();
        }
    }
    if (!platform::sendAll(socket_.get(), message,
                           std::chrono::steady_clock::now() + kReplyTimeout)) {
        // The reader sees the end and finds the next server.
        ::shutdown(socket_.get(), SHUT_RDWR);
        return std::nullopt;
    }
    return number;
}

std::optional<std::uint8_t> DeviceClient::request(const std::vector<std::uint8_t>& message) {
    std::lock_guard requesting(requestMutex_);
    const std::optional<std::uint64_t> number = send(message, true);
    if (!number) {
        return std::nullopt;
    }
    std::unique_lock lock(mutex_);
    if (!replied_.wait_for(lock, kReplyTimeout, [&] { return ended_ || replies_ >= *number; }) ||
        replies_ < *number) {
        return std::nullopt;
    }
    return reply_;
}

void DeviceClient::read() {
    std::vector<std::uint8_t> received;
    bool stopped = false;
    for (;;) {
        pollfd watched[2] = {{wake_.get(), POLLIN, 0}, {socket_.get(), POLLIN, 0}};
        if (::poll(watched, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (watched[0].revents != 0) {
            stopped = true;
            break;
        }
        if (!platform::receiveWaiting(socket_.get(), received, received.size() + kReceiveChunk)) {
            break;
        }
        bool malformed = false;
        while (const std::optional<WireMessage> message = takeWire(received, malformed)) {
            if (!take(*message)) {
                malformed = true;
                break;
            }
        }
        if (malformed) {
            break;
        }
    }
    end();
    if (!stopped && lost_) {
        lost_(state());
    }
}

bool DeviceClient::take(const WireMessage& message) {
    switch (message.type) {
    case WireType::State: {
        const std::optional<DeviceState> state = decodeWireState(message.payload);
        if (!state) {
            return false;
        }
        {
            std::lock_guard lock(mutex_);
            state_ = *state;
        }
        events_->devicesChanged();
        return true;
    }
    case WireType::Report: {
        const std::optional<WireReport> report = decodeWireReport(message.payload);
        if (!report) {
            return false;
        }
        if (const std::optional<HidInterface> source =
                VirtualDevice::interfaceOf(report->interfaceId)) {
            events_->inputReport(*source, report->report);
        }
        return true;
    }
    case WireType::Written:
    case WireType::Synced: {
        std::lock_guard lock(mutex_);
        ++replies_;
        if (replies_ == awaited_) {
            reply_ = message.payload.empty() ? std::uint8_t{1} : message.payload[0];
        }
        replied_.notify_all();
        return true;
    }
    case WireType::Write:
    case WireType::Sync:
        return false;
    }
    return false;
}

void DeviceClient::end() {
    std::lock_guard lock(mutex_);
    ended_ = true;
    replied_.notify_all();
}

} // namespace tavrik::service
