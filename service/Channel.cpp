#include "service/Channel.h"

#include "service/Diagnostics.h"

namespace tavrik::service {

Channel::Channel(std::uint32_t id, ChannelKind channelKind, const DeviceSelector& deviceSelector,
                 VezArorCallback eventCallback, std::uint32_t channelTag,
                 std::vector<std::uint8_t> statusBytes)
    : unitId_(id), kind_(channelKind), selector_(deviceSelector), callback_(eventCallback),
      tag_(channelTag), status_(std::move(statusBytes)) {}

Channel::~Channel() {
    if (thread_.joinable()) {
        // Only reached when the last owner is the channel's own thread.
        thread_.detach();
    }
}

void Channel::start() {
    // The thread owns a reference, so a channel cancelled from its own
    // callback stays alive until the thread has left it.
    thread_ = std::thread([self = shared_from_this()] { self->run(); });
}

bool Channel::post(ChannelEvent event) {
    {
        std::lock_guard lock(mutex_);
        if (cancelled_ || callback_ == nullptr) {
            return false;
        }
        if (queue_.size() >= kQueueCapacity) {
            diagnostic(kDiagnosticErrors, "unit %u: callback does not keep up, event dropped",
                       unitId_);
            return false;
        }
        queue_.push_back(std::move(event));
    }
    wake_.notify_one();
    return true;
}

void Channel::cancel() {
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
        queue_.clear();
    }
    wake_.notify_one();
}

void Channel::join() {
    if (!thread_.joinable()) {
        return;
    }
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

void Channel::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return cancelled_ || !queue_.empty(); });
        if (cancelled_) {
            break;
        }
        const ChannelEvent event = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        deliver(event);
        lock.lock();
    }
    finished_.store(true);
}

void Channel::deliver(const ChannelEvent& event) const {
    // Everything the callback sees lives on this frame: valid during the call only.
    const std::uint16_t code = event.consumerCode;
    ServiceConsumerReport consumer{};
    consumer.consumerCode = &code;
    ServiceRequestRecord record{};
    record.tag = tag_;
    if (event.kind == VEZAROR_EVENT_DEVICES_CHANGED) {
        record.length = event.deviceCount;
    } else {
        record.length = static_cast<std::uint32_t>(event.report.size());
        record.data = event.report.data();
    }
    record.report = &consumer;
    ServiceEvent serviceEvent{};
    serviceEvent.kind = event.kind;
    serviceEvent.request = &record;
    callback_(&serviceEvent);
}

} // namespace tavrik::service
