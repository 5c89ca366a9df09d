#include "tests/service/ServiceTestSupport.h"

#include <dlfcn.h>

namespace tavrik::service::testing {
namespace {

ServiceExports loadExports() {
    ServiceExports exports;
    if (void* library = ::dlopen(TAVRIK_BIN_DIR "/libVezAror.so", RTLD_NOW | RTLD_LOCAL)) {
        device::resolveServiceFunctions(library, exports);
    }
    return exports;
}

void addLittleEndian(std::uint32_t& sum, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        sum += VezArorSignatureTable[(value >> (8 * i)) & 0xFF];
    }
}

} // namespace

const ServiceExports& serviceLibrary() {
    static const ServiceExports exports = loadExports();
    return exports;
}

DeviceSelector selectorOf(std::uint16_t usagePage, std::uint16_t usage) {
    return DeviceSelector{
        VEZAROR_MATCH_ALL, VEZAROR_VENDOR_ID, VEZAROR_PRODUCT_ID, usagePage, usage, {0, 0, 0, 0}};
}

std::uint32_t sign(const DeviceSelector& selector, VezArorCallback callback, std::uint32_t tag,
                   std::span<const std::uint8_t> data) {
    std::uint32_t sum = 0;
    addLittleEndian(sum, selector.matchMask);
    addLittleEndian(sum, static_cast<std::uint32_t>(selector.vendorId) |
                             (static_cast<std::uint32_t>(selector.productId) << 16));
    addLittleEndian(sum, static_cast<std::uint32_t>(selector.usagePage) |
                             (static_cast<std::uint32_t>(selector.usage) << 16));
    for (const std::uint8_t byte : selector.reserved) {
        sum += VezArorSignatureTable[byte];
    }
    addLittleEndian(sum, static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(callback)));
    addLittleEndian(sum, tag);
    for (const std::uint8_t byte : data) {
        sum += VezArorSignatureTable[byte];
    }
    return sum;
}

CommandPacket commandPacket(std::uint8_t code, std::uint8_t length, std::uint16_t address,
                            std::span<const std::uint8_t> data) {
    CommandPacket packet{};
    packet[0] = 0x04;
    packet[3] = code;
    packet[4] = length;
    packet[5] = static_cast<std::uint8_t>(address);
    packet[6] = static_cast<std::uint8_t>(address >> 8);
    for (std::size_t i = 0; i < data.size() && i < 56; ++i) {
        packet[8 + i] = data[i];
    }
    unsigned sum = 0;
    for (std::size_t i = 3; i < 64; ++i) {
        sum += packet[i];
    }
    packet[1] = static_cast<std::uint8_t>(sum);
    packet[2] = static_cast<std::uint8_t>(sum >> 8);
    return packet;
}

EventLog& EventLog::instance() {
    static EventLog log;
    return log;
}

void EventLog::clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
}

void EventLog::add(RecordedEvent event) {
    {
        std::lock_guard lock(mutex_);
        events_.push_back(std::move(event));
    }
    added_.notify_all();
}

std::optional<RecordedEvent> EventLog::take(const std::function<bool(const RecordedEvent&)>& match,
                                            std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    std::optional<RecordedEvent> found;
    added_.wait_for(lock, timeout, [&] {
        for (auto it = events_.begin(); it != events_.end(); ++it) {
            if (match(*it)) {
                found = std::move(*it);
                events_.erase(it);
                return true;
            }
        }
        return false;
    });
    return found;
}

std::size_t EventLog::count(const std::function<bool(const RecordedEvent&)>& match) {
    std::lock_guard lock(mutex_);
    std::size_t matching = 0;
    for (const RecordedEvent& event : events_) {
        matching += match(event) ? 1 : 0;
    }
    return matching;
}

std::int32_t recordingCallback(const ServiceEvent* event) {
    RecordedEvent recorded;
    recorded.kind = event->kind;
    recorded.tag = event->request->tag;
    recorded.length = event->request->length;
    if (event->kind == VEZAROR_EVENT_INPUT_REPORT) {
        recorded.data.assign(event->request->data, event->request->data + event->request->length);
        if (event->request->tag == VEZAROR_TAG_CONS) {
            recorded.consumerCode = *event->request->report->consumerCode;
        }
    }
    EventLog::instance().add(std::move(recorded));
    return 1;
}

std::function<bool(const RecordedEvent&)> answerTo(std::uint8_t code) {
    return [code](const RecordedEvent& event) {
        return event.tag == VEZAROR_TAG_CTRL && event.kind == VEZAROR_EVENT_INPUT_REPORT &&
               event.data.size() > 3 && event.data[3] == code;
    };
}

std::function<bool(const RecordedEvent&)> consumerCode(std::uint16_t code) {
    return [code](const RecordedEvent& event) {
        return event.tag == VEZAROR_TAG_CONS && event.kind == VEZAROR_EVENT_INPUT_REPORT &&
               event.consumerCode == code;
    };
}

std::function<bool(const RecordedEvent&)> deviceChange(std::uint32_t tag) {
    return [tag](const RecordedEvent& event) {
        return event.tag == tag && event.kind == VEZAROR_EVENT_DEVICES_CHANGED;
    };
}

std::function<bool(const RecordedEvent&)> answerOn(std::uint32_t tag, std::uint8_t code) {
    return [tag, code](const RecordedEvent& event) {
        return event.tag == tag && event.kind == VEZAROR_EVENT_INPUT_REPORT &&
               event.data.size() > 3 && event.data[3] == code;
    };
}

std::function<bool(const RecordedEvent&)> consumerCodeOn(std::uint32_t tag, std::uint16_t code) {
    return [tag, code](const RecordedEvent& event) {
        return event.tag == tag && event.kind == VEZAROR_EVENT_INPUT_REPORT &&
               event.data.size() == 3 && (event.data[1] | (event.data[2] << 8)) == code;
    };
}

} // namespace tavrik::service::testing
