#include "device/DeviceEvents.h"

#include "device/Channels.h"
#include "device/DeviceChangeWorker.h"
#include "device/Transaction.h"
#include "device/TrayStateWorker.h"
#include "platform/Ports.h"

namespace tavrik::device {
namespace {

using platform::mainWindow;

void handleConsumerCode(std::uint16_t code) {
    switch (code) {
    case consumer::BankSwitch:
        flipBank();
        registerLedRequest();
        // Synchronous: the G-key buttons are redrawn and relabelled before
        // the next consumer event is taken.
        mainWindow().sendMessage(platform::message::BankChanged, platform::wparam::Led, 0);
        break;
    case consumer::LightingReload:
        mainWindow().setTimer(platform::timer::LightingReload, 0);
        break;
    case consumer::ProfileReload:
        mainWindow().setTimer(platform::timer::ProfileReload, 0);
        break;
    case consumer::TrayNormal:
    case consumer::TrayAlternate:
        startTrayStateWorker(code);
        break;
    default:
        break;
    }
}

void handleInputReport(const ServiceRequestRecord& record) {
    if (record.tag == VEZAROR_TAG_CONS) {
        if (record.report != nullptr && record.report->consumerCode != nullptr) {
            handleConsumerCode(*record.report->consumerCode);
        }
    } else if (record.tag == VEZAROR_TAG_CTRL) {
        // Dropped unless a transaction waits.
        responseHandover().deliver(record.data, record.length);
    }
}

} // namespace

std::int32_t DeviceEventCallback(const ServiceEvent* event) {
    if (event == nullptr || event->request == nullptr) {
        return 1;
    }
    const ServiceRequestRecord& record = *event->request;
    if (event->kind == VEZAROR_EVENT_INPUT_REPORT) {
        handleInputReport(record);
    } else if (event->kind == VEZAROR_EVENT_DEVICES_CHANGED && record.tag == VEZAROR_TAG_CTRL) {
        startDeviceChangeWorker(static_cast<std::int32_t>(record.length));
    }
    return 1;
}

} // namespace tavrik::device
