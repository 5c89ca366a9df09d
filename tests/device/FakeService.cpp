#include "tests/device/FakeService.h"

#include "device/DeviceEvents.h"
#include "device/ServiceBinding.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace tavrik::device::testing {
namespace {

std::atomic<FakeService*> current{nullptr};

FakeService& fake() {
    return *current.load();
}

std::uint32_t sumTable(std::uint32_t sum, const std::uint8_t* bytes, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        sum += VezArorSignatureTable[bytes[i]];
    }
    return sum;
}

int32_t fakeDebug(int32_t) {
    return 0;
}
int32_t fakeInit(int32_t) {
    return 1;
}
int32_t fakeEnd() {
    return 1;
}
int32_t fakeGetDeviceCount(const DeviceSelector* selector, VezArorCallback callback, uint32_t tag,
                           uint32_t signature, int32_t) {
    return fake().getDeviceCount(selector, callback, tag, signature);
}
int32_t fakeDeleteFromUnitId(uint32_t unitId) {
    return fake().deleteRequest(unitId);
}
int32_t fakeDeleteFromHandle(VezArorCallback) {
    return 0;
}
int32_t fakeWrite(const DeviceSelector*, VezArorCallback, uint32_t, const uint8_t*, uint32_t,
                  uint32_t, int32_t) {
    return 0;
}
int32_t fakeWriteOne(const DeviceSelector* selector, VezArorCallback callback, uint32_t tag,
                     const uint8_t* data, uint32_t length, uint32_t signature, int32_t) {
    return fake().writeOne(selector, callback, tag, data, length, signature);
}
int32_t fakeStatusWrite(const DeviceSelector* selector, VezArorCallback callback, uint32_t tag,
                        const uint8_t* data, uint32_t length, uint32_t signature,
                        uint32_t* unitId) {
    return fake().statusWrite(selector, callback, tag, data, length, signature, unitId);
}
int32_t fakeStatusGet(uint32_t, uint8_t*, uint32_t) {
    return 0;
}
int32_t fakeAsyncRead(const DeviceSelector* selector, VezArorCallback callback, uint32_t tag,
                      uint32_t signature, uint32_t* unitId) {
    return fake().asyncRead(selector, callback, tag, signature, unitId);
}
int32_t fakeSetFeature(const DeviceSelector*, VezArorCallback, uint32_t, const uint8_t*, uint32_t,
                       uint32_t, int32_t) {
    return 0;
}

std::int32_t sendEvent(std::uint32_t kind, const ServiceRequestRecord& record) {
    ServiceEvent event{};
    event.kind = kind;
    event.request = &record;
    return DeviceEventCallback(&event);
}

} // namespace

std::uint32_t serviceSideSignature(const DeviceSelector* selector, VezArorCallback callback,
                                   std::uint32_t tag, const std::uint8_t* data,
                                   std::size_t length) {
    // The records' own memory is little-endian on the machines we build for.
    std::uint32_t sum = sumTable(0, reinterpret_cast<const std::uint8_t*>(selector), 16);
    const auto address = static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(callback));
    sum = sumTable(sum, reinterpret_cast<const std::uint8_t*>(&address), 4);
    sum = sumTable(sum, reinterpret_cast<const std::uint8_t*>(&tag), 4);
    return sumTable(sum, data, length);
}

Bytes echoAnswer(const Bytes& request, std::uint8_t status, std::span<const std::uint8_t> data) {
    Bytes answer(64, 0);
    // Command code, length and address, as the keyboard echoes them.
    for (std::size_t i = 3; i < 7 && i < request.size(); ++i) {
        answer[i] = request[i];
    }
    answer[7] = status;
    std::copy_n(data.begin(), std::min<std::size_t>(data.size(), 56), answer.begin() + 8);
    return answer;
}

FakeService::FakeService() : answerThread_([this] { answerThreadLoop(); }) {
    current.store(this);
    ServiceFunctions functions;
    functions.Debug = fakeDebug;
    functions.Init = fakeInit;
    functions.End = fakeEnd;
    functions.RequestGetDeviceCount = fakeGetDeviceCount;
    functions.DeleteRequestFromUnitId = fakeDeleteFromUnitId;
    functions.DeleteRequestFromHandle = fakeDeleteFromHandle;
    functions.RequestWrite = fakeWrite;
    functions.RequestWriteOne = fakeWriteOne;
    functions.RequestStatusWrite = fakeStatusWrite;
    functions.RequestStatusGet = fakeStatusGet;
    functions.RequestAsyncRead = fakeAsyncRead;
    functions.RequestStatusSetFeature = fakeSetFeature;
    installServiceFunctions(functions);
}

FakeService::~FakeService() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    pendingChanged_.notify_all();
    answerThread_.join();
    resetServiceBinding();
    current.store(nullptr);
}

void FakeService::setDeviceCount(std::int32_t count) {
    std::lock_guard lock(mutex_);
    deviceCount_ = count;
}

void FakeService::setWriteResult(std::int32_t result) {
    std::lock_guard lock(mutex_);
    writeResult_ = result;
}

void FakeService::setAnswerer(Answerer answerer, std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    answerer_ = std::move(answerer);
    delay_ = delay;
}

std::vector<ServiceCall> FakeService::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

std::vector<std::string> FakeService::callNames() const {
    std::vector<std::string> names;
    for (const ServiceCall& call : calls()) {
        names.push_back(call.name);
    }
    return names;
}

std::vector<Bytes> FakeService::writtenPackets() const {
    std::vector<Bytes> packets;
    for (const ServiceCall& call : calls()) {
        if (call.name == "RequestWriteOne") {
            packets.push_back(call.data);
        }
    }
    return packets;
}

void FakeService::clearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

void FakeService::record(ServiceCall call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
}

std::int32_t FakeService::getDeviceCount(const DeviceSelector* selector, VezArorCallback callback,
                                         std::uint32_t tag, std::uint32_t signature) {
    const bool valid = serviceSideSignature(selector, callback, tag, nullptr, 0) == signature;
    record({"RequestGetDeviceCount", *selector, callback, tag, {}, signature, valid, 0});
    std::lock_guard lock(mutex_);
    return valid ? deviceCount_ : 0;
}

std::int32_t FakeService::deleteRequest(std::uint32_t unitId) {
    record({"DeleteRequestFromUnitId", {}, nullptr, 0, {}, 0, true, unitId});
    return unitId != 0 ? 1 : 0;
}

std::int32_t FakeService::writeOne(const DeviceSelector* selector, VezArorCallback callback,
                                   std::uint32_t tag, const std::uint8_t* data,
                                   std::uint32_t length, std::uint32_t signature) {
    const bool valid = serviceSideSignature(selector, callback, tag, data, length) == signature;
    Bytes packet(data, data + length);
    record({"RequestWriteOne", *selector, callback, tag, packet, signature, valid, 0});
    Answerer answerer;
    std::chrono::milliseconds delay{0};
    std::int32_t result = 0;
    {
        std::lock_guard lock(mutex_);
        answerer = answerer_;
        delay = delay_;
        result = writeResult_;
    }
    if (!valid || result <= 0) {
        return valid ? result : 0;
    }
    std::vector<Bytes> answers = answerer ? answerer(packet) : std::vector<Bytes>{};
    if (delay.count() == 0) {
        for (const Bytes& answer : answers) {
            deliverAnswer(answer);
        }
    } else {
        std::lock_guard lock(mutex_);
        for (Bytes& answer : answers) {
            pending_.push_back({std::chrono::steady_clock::now() + delay, std::move(answer)});
        }
        pendingChanged_.notify_all();
    }
    return result;
}

std::int32_t FakeService::statusWrite(const DeviceSelector* selector, VezArorCallback callback,
                                      std::uint32_t tag, const std::uint8_t* data,
                                      std::uint32_t length, std::uint32_t signature,
                                      std::uint32_t* unitId) {
    const bool valid = serviceSideSignature(selector, callback, tag, data, length) == signature;
    std::uint32_t id = 0;
    {
        std::lock_guard lock(mutex_);
        id = valid ? nextUnitId_++ : 0;
    }
    record({"RequestStatusWrite", *selector, callback, tag, Bytes(data, data + length), signature,
            valid, id});
    if (valid) {
        *unitId = id;
    }
    return valid ? 1 : 0;
}

std::int32_t FakeService::asyncRead(const DeviceSelector* selector, VezArorCallback callback,
                                    std::uint32_t tag, std::uint32_t signature,
                                    std::uint32_t* unitId) {
    const bool valid = serviceSideSignature(selector, callback, tag, nullptr, 0) == signature;
    std::uint32_t id = 0;
    {
        std::lock_guard lock(mutex_);
        id = valid ? nextUnitId_++ : 0;
    }
    record({"RequestAsyncRead", *selector, callback, tag, {}, signature, valid, id});
    if (valid) {
        *unitId = id;
    }
    return valid ? 1 : 0;
}

void FakeService::answerThreadLoop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (stopping_) {
            return;
        }
        if (pending_.empty()) {
            pendingChanged_.wait(lock);
            continue;
        }
        const auto due = pending_.front().due;
        if (std::chrono::steady_clock::now() < due) {
            pendingChanged_.wait_until(lock, due);
            continue;
        }
        Bytes answer = std::move(pending_.front().answer);
        pending_.pop_front();
        lock.unlock();
        deliverAnswer(answer);
        lock.lock();
    }
}

std::int32_t FakeService::deliverAnswer(const Bytes& answer) {
    ServiceRequestRecord record{};
    record.tag = VEZAROR_TAG_CTRL;
    record.length = static_cast<std::uint32_t>(answer.size());
    record.data = answer.data();
    return sendEvent(VEZAROR_EVENT_INPUT_REPORT, record);
}

std::int32_t FakeService::sendConsumerCode(std::uint16_t code) {
    ServiceConsumerReport report{};
    report.consumerCode = &code;
    ServiceRequestRecord record{};
    record.tag = VEZAROR_TAG_CONS;
    record.length = 2;
    record.data = reinterpret_cast<const std::uint8_t*>(&code);
    record.report = &report;
    return sendEvent(VEZAROR_EVENT_INPUT_REPORT, record);
}

std::int32_t FakeService::sendDeviceSetChange(std::uint32_t tag, std::uint32_t count) {
    ServiceRequestRecord record{};
    record.tag = tag;
    record.length = count;
    return sendEvent(VEZAROR_EVENT_DEVICES_CHANGED, record);
}

} // namespace tavrik::device::testing
