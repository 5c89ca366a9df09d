#include "service/hidraw/HidapiLibrary.h"

#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <filesystem>
#include <hidapi/hidapi.h>

namespace tavrik::service {
namespace {

class HidapiHandle final : public HidHandle {
public:
    explicit HidapiHandle(hid_device* device) : device_(device) {}
    ~HidapiHandle() override { hid_close(device_); }
    HidapiHandle(const HidapiHandle&) = delete;
    HidapiHandle& operator=(const HidapiHandle&) = delete;

    int write(std::span<const std::uint8_t> report) override {
        return hid_write(device_, report.data(), report.size());
    }
    int read(std::span<std::uint8_t> buffer, int timeoutMilliseconds) override {
        return hid_read_timeout(device_, buffer.data(), buffer.size(), timeoutMilliseconds);
    }
    int sendFeature(std::span<const std::uint8_t> report) override {
        return hid_send_feature_report(device_, report.data(), report.size());
    }

private:
    hid_device* device_;
};

} // namespace

bool HidapiLibrary::init() {
    return hid_init() == 0;
}

void HidapiLibrary::exit() {
    hid_exit();
}

std::vector<HidDeviceEntry> HidapiLibrary::enumerate(std::uint16_t vendorId,
                                                     std::uint16_t productId) {
    std::vector<HidDeviceEntry> entries;
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (const hid_device_info* info = list; info != nullptr; info = info->next) {
        if (info->path == nullptr) {
            continue;
        }
        entries.push_back(
            {info->path, info->vendor_id, info->product_id, info->usage_page, info->usage});
    }
    hid_free_enumeration(list);
    return entries;
}

std::unique_ptr<HidHandle> HidapiLibrary::open(const std::string& path) {
    hid_device* device = hid_open_path(path.c_str());
    if (device == nullptr) {
        return nullptr;
    }
    return std::make_unique<HidapiHandle>(device);
}

std::vector<std::uint8_t> HidapiLibrary::reportDescriptor(const std::string& path) {
    // hidraw paths are /dev/hidrawN; sysfs keeps the node's descriptor.
    const std::string node = std::filesystem::path(path).filename().string();
    std::string contents;
    if (node.empty() || !platform::readWholeFile(
                            "/sys/class/hidraw/" + node + "/device/report_descriptor", contents)) {
        return {};
    }
    return std::vector<std::uint8_t>(contents.begin(), contents.end());
}

platform::UniqueFd HidapiLibrary::openLock(const std::string& path) {
    // The node itself: its lock is every process's, whoever runs them. An
    // open node also queues input reports, which nobody reads here; the
    // kernel drops them once its queue is full.
    return platform::UniqueFd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
}

} // namespace tavrik::service
