#include "device/Channels.h"

#include "device/DeviceChangeWorker.h"
#include "device/ServiceBinding.h"
#include "device/Signature.h"
#include "device/StartFlags.h"
#include "device/Transaction.h"

#include <atomic>
#include <mutex>

namespace tavrik::device {
namespace {

constexpr std::uint8_t kLedReportNumber = 0x05;
constexpr std::uint8_t kLedReportBankA = 0x02;

std::atomic<int> bank{0};

// The consumer and command ids are written only by registerChannels, before
// their channels can deliver anything. The LED id and report are rewritten on
// the consumer channel's thread at every bank switch, so they have a lock.
std::mutex ledMutex;
std::uint32_t ledUnitId = 0;
std::array<std::uint8_t, 2> ledReportBytes{kLedReportNumber, kLedReportBankA};
std::uint32_t consumerUnitId = 0;
std::uint32_t commandUnitId = 0;

void registerAsyncRead(RequestUse use, std::uint32_t& unitId) {
    const ServiceFunctions& functions = service();
    const RequestDescriptor& descriptor = requestDescriptor(use);
    functions.DeleteRequestFromUnitId(unitId);
    functions.RequestAsyncRead(&descriptor.selector, descriptor.callback, descriptor.tag,
                               requestSignature(descriptor), &unitId);
}

} // namespace

ChannelUnitIds channelUnitIds() {
    std::lock_guard lock(ledMutex);
    return ChannelUnitIds{ledUnitId, consumerUnitId, commandUnitId};
}

int currentBank() {
    return bank.load();
}

int flipBank() {
    return bank.fetch_xor(1) ^ 1;
}

std::array<std::uint8_t, 2> ledReport() {
    return {kLedReportNumber, static_cast<std::uint8_t>(kLedReportBankA | currentBank())};
}

void registerChannels() {
    if (!isServiceBound()) {
        return;
    }
    {
        std::lock_guard lock(ledMutex);
        bank.store(0);
        ledReportBytes = ledReport();
        ledUnitId = 0;
    }
    registerAsyncRead(RequestUse::ConsumerChannel, consumerUnitId);
    responseHandover().reset();
    registerAsyncRead(RequestUse::CommandChannel, commandUnitId);

    const std::int32_t count = queryDeviceCount();
    // Set before the worker starts, so the worker already sees it.
    if (count == 0) {
        startFlags().startHidden.store(true);
    }
    startDeviceChangeWorker(count);
}

void registerLedRequest() {
    if (!isServiceBound()) {
        return;
    }
    std::lock_guard lock(ledMutex);
    const ServiceFunctions& functions = service();
    const RequestDescriptor& descriptor = requestDescriptor(RequestUse::Led);
    ledReportBytes = ledReport();
    const std::uint32_t signature =
        requestSignature(descriptor, ledReportBytes.data(), ledReportBytes.size());
    functions.DeleteRequestFromUnitId(ledUnitId);
    functions.RequestStatusWrite(&descriptor.selector, descriptor.callback, descriptor.tag,
                                 ledReportBytes.data(), ledReportBytes.size(), signature,
                                 &ledUnitId);
}

void resetChannels() {
    std::lock_guard lock(ledMutex);
    bank.store(0);
    ledReportBytes = ledReport();
    ledUnitId = 0;
    consumerUnitId = 0;
    commandUnitId = 0;
}

} // namespace tavrik::device
