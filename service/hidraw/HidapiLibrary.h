#pragma once
// HidApi over the hidapi-hidraw library, with report descriptors read from
// sysfs.

#include "service/hidraw/HidApi.h"

namespace tavrik::service {

class HidapiLibrary final : public HidApi {
public:
    bool init() override;
    void exit() override;
    std::vector<HidDeviceEntry> enumerate(std::uint16_t vendorId, std::uint16_t productId) override;
    std::unique_ptr<HidHandle> open(const std::string& path) override;
    std::vector<std::uint8_t> reportDescriptor(const std::string& path) override;
    platform::UniqueFd openLock(const std::string& path) override;
};

} // namespace tavrik::service
