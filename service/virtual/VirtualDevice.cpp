#include "service/virtual/VirtualDevice.h"

#include "service/Diagnostics.h"
#include "service/virtual/ControlCommands.h"
#include "service/virtual/ControlSocketPath.h"
#include "service/virtual/DefaultLayout.h"
#include "service/virtual/StateFile.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <sys/prctl.h>

namespace tavrik::service {
namespace {

constexpr std::uint16_t kLightingChangedCode = 1025;
constexpr std::uint16_t kProfileChangedCode = 1026;
// An answer for another command: the code with its top bit flipped.
constexpr std::uint8_t kWrongCodeMask = 0x80;

std::uint32_t latencyFromEnvironment() {
    const char* text = std::getenv("VEZAROR_VIRTUAL_LATENCY_MS");
    std::uint32_t value = 0;
    if (text == nullptr ||
        std::from_chars(text, text + std::strlen(text), value).ptr != text + std::strlen(text)) {
        return 0;
    }
    return std::min(value, VirtualDevice::kMaximumLatencyMilliseconds);
}

// Empty for text that is not a list of 1 to 32 effect numbers 1..18.
std::vector<std::uint8_t> effectsFromEnvironment() {
    const char* text = std::getenv("VEZAROR_VIRTUAL_EFFECTS");
    std::vector<std::uint8_t> effects;
    const std::string_view list = text == nullptr ? std::string_view() : std::string_view(text);
    std::size_t position = 0;
    while (position < list.size()) {
        const std::size_t start = list.find_first_not_of(" ,", position);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(list.find_first_of(" ,", start), list.size());
        unsigned value = 0;
        const auto parsed = std::from_chars(list.data() + start, list.data() + end, value);
        if (parsed.ptr != list.data() + end || value < 1 || value > kEffectCount ||
            effects.size() == kDeviceInfoSize - kFirstEffectByte) {
            diagnostic(kDiagnosticErrors,
                       "virtual keyboard: VEZAROR_VIRTUAL_EFFECTS '%s' is not "
                       "a list of effects 1..18, offering 1..18",
                       text);
            return {};
        }
        effects.push_back(static_cast<std::uint8_t>(value));
        position = end;
    }
    return effects;
}

} // namespace

VirtualSettings VirtualSettings::fromEnvironment() {
    VirtualSettings settings;
    settings.statePath = stateFilePathFromEnvironment();
    settings.controlPath = controlSocketPath();
    settings.latencyMilliseconds = latencyFromEnvironment();
    const char* plugged = std::getenv("VEZAROR_VIRTUAL_PLUGGED");
    settings.pluggedAtStart = plugged == nullptr || std::strcmp(plugged, "0") != 0;
    settings.effects = effectsFromEnvironment();
    return settings;
}

HidInterface VirtualDevice::collection(std::uint32_t generation, Collection collection) {
    HidInterface device;
    device.id = generation * 4 + collection;
    device.vendorId = VEZAROR_VENDOR_ID;
    device.productId = VEZAROR_PRODUCT_ID;
    switch (collection) {
    case kCommands:
        device.usagePage = kCommandUsagePage;
        device.usage = kCommandUsage;
        break;
    case kConsumer:
        device.usagePage = kConsumerUsagePage;
        device.usage = kConsumerUsage;
        break;
    case kLed:
        device.usagePage = kLedUsagePage;
        device.usage = kLedUsage;
        break;
    }
    return device;
}

std::optional<HidInterface> VirtualDevice::interfaceOf(std::uint32_t interfaceId) {
    const std::uint32_t kind = interfaceId % 4;
    if (kind != kCommands && kind != kConsumer && kind != kLed) {
        return std::nullopt;
    }
    return collection(interfaceId / 4, static_cast<Collection>(kind));
}

std::vector<HidInterface> VirtualDevice::interfacesOf(const DeviceState& state) {
    if (!state.plugged) {
        return {};
    }
    return {collection(state.generation, kCommands), collection(state.generation, kConsumer),
            collection(state.generation, kLed)};
}

VirtualDevice::VirtualDevice(VirtualSettings settings, std::optional<DeviceState> carried)
    : settings_(std::move(settings)), carried_(carried) {}

VirtualDevice::~VirtualDevice() {
    stop();
}

void VirtualDevice::start(BackendEvents& events) {
    KeyboardMemory stored;
    switch (loadStateFile(settings_.statePath, stored)) {
    case StateLoad::Loaded:
        break;
    case StateLoad::Missing:
        diagnostic(kDiagnosticRequests, "virtual keyboard: no state at '%s', factory-fresh",
                   settings_.statePath.c_str());
        break;
    case StateLoad::Corrupt:
        diagnostic(kDiagnosticErrors, "virtual keyboard: state '%s' unreadable, factory-fresh",
                   settings_.statePath.c_str());
        break;
    }
    if (!settings_.effects.empty()) {
        stored.offerEffects(settings_.effects);
    }
    {
        std::lock_guard lock(mutex_);
        events_ = &events;
        keyboard_ = std::make_unique<VirtualKeyboard>(stored);
        // A device that another process served keeps its cable and its ids,
        // so that nobody sees it go and come.
        plugged_ = carried_ ? carried_->plugged : settings_.pluggedAtStart;
        generation_ = carried_ ? carried_->generation : generation_ + 1;
        latencyMilliseconds_ = settings_.latencyMilliseconds;
        stopping_ = false;
    }
    firmware_ = std::thread([this] { runFirmware(); });
    if (!settings_.controlPath.empty()) {
        control_ =
            std::make_unique<ControlServer>(settings_.controlPath, [this](std::string_view line) {
                return runControlCommand(*this, line);
            });
        std::string error;
        if (!control_->start(error)) {
            // The keyboard works without its control socket.
            diagnostic(kDiagnosticErrors, "virtual keyboard: no control socket: %s", error.c_str());
            control_.reset();
        }
    }
}

void VirtualDevice::stop() {
    if (control_ != nullptr) {
        control_->stop();
        control_.reset();
    }
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (firmware_.joinable()) {
        firmware_.join();
    }
    // An answer that a write is still reporting is through before we return.
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [this] { return !reporting_; });
}

HidInterface VirtualDevice::collectionLocked(Collection collection) const {
    return VirtualDevice::collection(generation_, collection);
}

bool VirtualDevice::isCurrentLocked(std::uint32_t interfaceId, Collection collection) const {
    return plugged_ && interfaceId == collectionLocked(collection).id;
}

std::vector<HidInterface> VirtualDevice::interfaces() {
    std::lock_guard lock(mutex_);
    if (keyboard_ == nullptr) {
        return {};
    }
    return interfacesOf({plugged_, generation_});
}

DeviceState VirtualDevice::state() {
    std::lock_guard lock(mutex_);
    return {plugged_, generation_};
}

bool VirtualDevice::writeOutput(std::uint32_t interfaceId, std::span<const std::uint8_t> report) {
    std::unique_lock lock(mutex_);
    if (isCurrentLocked(interfaceId, kCommands) && !report.empty() &&
        report[0] == kCommandReportId && report.size() <= Packet{}.size()) {
        Packet packet{};
        std::copy(report.begin(), report.end(), packet.begin());
        if (answersAtOnceLocked()) {
            // Nothing to wait for: the answer goes out on the writer's own
            // thread, sparing the host two thread hand-overs per command.
            const Reply reply = executeLocked(packet);
            lock.unlock();
            deliver(reply);
            return true;
        }
        if (pending_.size() >= kMaximumPendingCommands) {
            return false;
        }
        pending_.push_back({packet, std::chrono::steady_clock::now()});
        lock.unlock();
        wake_.notify_all();
        return true;
    }
    if (isCurrentLocked(interfaceId, kLed) && report.size() == kLedReportSize &&
        report[0] == kLedReportId) {
        std::copy(report.begin(), report.end(), ledReport_.begin());
        return true;
    }
    return false;
}

void VirtualDevice::runFirmware() {
    // The answer is due after the latency, as a USB frame is: not up to the
    // default timer slack (50 us) later.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (pending_.empty() || reporting_) {
            wake_.wait(lock);
            continue;
        }
        const auto due = pending_.front().arrival + std::chrono::milliseconds(latencyMilliseconds_);
        if (std::chrono::steady_clock::now() < due) {
            waitUntilDue(lock, due);
            continue;
        }
        const Packet request = pending_.front().packet;
        pending_.pop_front();
        const Reply reply = executeLocked(request);
        lock.unlock();
        deliver(reply);
        lock.lock();
    }
}

void VirtualDevice::waitUntilDue(std::unique_lock<std::mutex>& lock,
                                 std::chrono::steady_clock::time_point due) {
    const auto wakeAt = due - timerLead_.lead();
    if (std::chrono::steady_clock::now() < wakeAt) {
        wake_.wait_until(lock, wakeAt);
        const auto lateness = std::chrono::steady_clock::now() - wakeAt;
        if (lateness.count() >= 0) {
            timerLead_.observe(lateness);
        }
        return;
    }
    // The last stretch, without the lock so that writes are not held up.
    lock.unlock();
    while (std::chrono::steady_clock::now() < due) {
        std::this_thread::yield();
    }
    lock.lock();
}

bool VirtualDevice::answersAtOnceLocked() const {
    return latencyMilliseconds_ == 0 && pending_.empty() && !reporting_ && !stopping_;
}

VirtualDevice::Reply VirtualDevice::executeLocked(const Packet& request) {
    Reply reply;
    reply.answer = answerLocked(request);
    reply.source = collectionLocked(kCommands);
    reply.unplugged = faults_.countCommand();
    if (reply.unplugged) {
        disconnectLocked();
    }
    reporting_ = true;
    return reply;
}

void VirtualDevice::deliver(const Reply& reply) {
    if (reply.answer) {
        events_->inputReport(reply.source, *reply.answer);
    }
    if (reply.unplugged) {
        events_->devicesChanged();
    }
    {
        std::lock_guard lock(mutex_);
        reporting_ = false;
    }
    wake_.notify_all();
}

std::optional<Packet> VirtualDevice::answerLocked(const Packet& request) {
    Packet answer{};
    switch (faults_.takeFault()) {
    case Fault::NoAnswer:
        return std::nullopt;
    case Fault::WrongCode:
        answer = VirtualKeyboard::emptyAnswer(request, kStatusAccepted);
        answer[kPacketCodeOffset] ^= kWrongCodeMask;
        sealPacket(answer);
        break;
    case Fault::StatusRefused:
        answer = VirtualKeyboard::emptyAnswer(request, kStatusRefused);
        break;
    case Fault::StatusBadChecksum:
        answer = VirtualKeyboard::emptyAnswer(request, kStatusBadChecksum);
        break;
    case Fault::None: {
        const VirtualKeyboard::Answer result = keyboard_->execute(request);
        answer = result.packet;
        if (result.committed && !settings_.statePath.empty() &&
            !saveStateFile(settings_.statePath, keyboard_->committed())) {
            // The flash write failed: the host must not believe it stored.
            diagnostic(kDiagnosticErrors, "virtual keyboard: cannot save '%s'",
                       settings_.statePath.c_str());
            answer = VirtualKeyboard::emptyAnswer(request, kStatusRefused);
        }
        break;
    }
    }
    ++commandsAnswered_;
    return answer;
}

void VirtualDevice::saveLocked() {
    if (!settings_.statePath.empty() &&
        !saveStateFile(settings_.statePath, keyboard_->committed())) {
        diagnostic(kDiagnosticErrors, "virtual keyboard: cannot save '%s'",
                   settings_.statePath.c_str());
    }
}

void VirtualDevice::disconnectLocked() {
    plugged_ = false;
    pending_.clear();
    keyboard_->losePower();
    ledReport_ = {};
}

bool VirtualDevice::sendConsumerCode(std::uint16_t code) {
    HidInterface source;
    {
        std::lock_guard lock(mutex_);
        if (!plugged_) {
            return false;
        }
        source = collectionLocked(kConsumer);
    }
    const std::uint8_t report[3] = {kConsumerReportId, static_cast<std::uint8_t>(code),
                                    static_cast<std::uint8_t>(code >> 8)};
    events_->inputReport(source, report);
    return true;
}

bool VirtualDevice::pressProfileKey(std::optional<std::uint8_t> profile) {
    {
        std::lock_guard lock(mutex_);
        if (!plugged_ || (profile && *profile >= kProfileCount)) {
            return false;
        }
        const auto next =
            static_cast<std::uint8_t>((keyboard_->activeProfile() + 1) % kProfileCount);
        keyboard_->switchProfile(profile.value_or(next));
        saveLocked();
    }
    return sendConsumerCode(kProfileChangedCode);
}

bool VirtualDevice::pressLightingKey() {
    {
        std::lock_guard lock(mutex_);
        if (!plugged_) {
            return false;
        }
        keyboard_->stepEffect();
        saveLocked();
    }
    return sendConsumerCode(kLightingChangedCode);
}

void VirtualDevice::unplug() {
    {
        std::lock_guard lock(mutex_);
        if (!plugged_) {
            return;
        }
        disconnectLocked();
    }
    events_->devicesChanged();
}

void VirtualDevice::plug() {
    {
        std::lock_guard lock(mutex_);
        if (plugged_) {
            return;
        }
        plugged_ = true;
        ++generation_;
    }
    events_->devicesChanged();
}

void VirtualDevice::setLatency(std::uint32_t milliseconds) {
    {
        std::lock_guard lock(mutex_);
        latencyMilliseconds_ = std::min(milliseconds, kMaximumLatencyMilliseconds);
    }
    wake_.notify_all();
}

void VirtualDevice::setFault(Fault fault, std::uint32_t count, std::uint32_t after) {
    std::lock_guard lock(mutex_);
    faults_.set(fault, count, after);
}

void VirtualDevice::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

void VirtualDevice::unplugAfter(std::uint32_t count) {
    if (count == 0) {
        unplug();
        return;
    }
    std::lock_guard lock(mutex_);
    faults_.unplugAfter(count);
}

std::optional<std::vector<std::uint8_t>> VirtualDevice::area(std::string_view name) {
    std::lock_guard lock(mutex_);
    if (name == "layout") {
        return std::vector<std::uint8_t>(defaultLayout().begin(), defaultLayout().end());
    }
    if (name == "led") {
        return std::vector<std::uint8_t>(ledReport_.begin(), ledReport_.end());
    }
    const auto bytes = namedArea(keyboard_->memory(), name);
    if (!bytes) {
        return std::nullopt;
    }
    return std::vector<std::uint8_t>(bytes->begin(), bytes->end());
}

VirtualDevice::Status VirtualDevice::status() {
    std::lock_guard lock(mutex_);
    return {plugged_, keyboard_->activeProfile(), commandsAnswered_};
}

} // namespace tavrik::service
