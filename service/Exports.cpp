// The twelve exports of libVezAror.so. Everything else in the library is
// hidden.

#include "VezAror.h"
#include "service/BackendChoice.h"
#include "service/Diagnostics.h"
#include "service/Service.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace {

using tavrik::service::Request;
using tavrik::service::Service;

// Never destroyed: a program that exits without End() still has our threads
// running while its statics are destroyed.
Service& service() {
    static Service* instance = new Service();
    return *instance;
}

void stopCallbacksAtExit() {
    service().quiesce();
}

void applyDebugEnvironment() {
    const char* text = std::getenv("VEZAROR_DEBUG");
    std::int32_t level = 0;
    if (text != nullptr &&
        std::from_chars(text, text + std::strlen(text), level).ptr == text + std::strlen(text)) {
        tavrik::service::setDiagnosticLevel(level);
    }
}

Request request(const DeviceSelector* selector, VezArorCallback callback, uint32_t tag,
                uint32_t signature) {
    return Request{selector, callback, tag, signature};
}

} // namespace

extern "C" {

VEZAROR_EXPORT int32_t Debug(int32_t level) {
    return tavrik::service::setDiagnosticLevel(level);
}

VEZAROR_EXPORT int32_t Init(int32_t) {
    static std::once_flag once;
    std::call_once(once, [] {
        applyDebugEnvironment();
        std::atexit(stopCallbacksAtExit);
    });
    if (service().running()) {
        return 1;
    }
    return service().init(tavrik::service::createBackendFromEnvironment());
}

VEZAROR_EXPORT int32_t End(void) {
    service().end();
    return 1;
}

VEZAROR_EXPORT int32_t RequestGetDeviceCount(const DeviceSelector* selector,
                                             VezArorCallback callback, uint32_t tag,
                                             uint32_t signature, int32_t) {
    return service().deviceCount(request(selector, callback, tag, signature));
}

VEZAROR_EXPORT int32_t DeleteRequestFromUnitId(uint32_t unitId) {
    return service().deleteByUnitId(unitId);
}

VEZAROR_EXPORT int32_t DeleteRequestFromHandle(VezArorCallback callback) {
    return service().deleteByCallback(callback);
}

VEZAROR_EXPORT int32_t RequestWrite(const DeviceSelector* selector, VezArorCallback callback,
                                    uint32_t tag, const uint8_t* data, uint32_t length,
                                    uint32_t signature, int32_t) {
    return service().writeAll(request(selector, callback, tag, signature), data, length);
}

VEZAROR_EXPORT int32_t RequestWriteOne(const DeviceSelector* selector, VezArorCallback callback,
                                       uint32_t tag, const uint8_t* data, uint32_t length,
                                       uint32_t signature, int32_t) {
    return service().writeFirst(request(selector, callback, tag, signature), data, length);
}

VEZAROR_EXPORT int32_t RequestStatusWrite(const DeviceSelector* selector, VezArorCallback callback,
                                          uint32_t tag, const uint8_t* data, uint32_t length,
                                          uint32_t signature, uint32_t* unitId) {
    return service().statusWrite(request(selector, callback, tag, signature), data, length, unitId);
}

VEZAROR_EXPORT int32_t RequestStatusGet(uint32_t unitId, uint8_t* data, uint32_t length) {
    return service().statusGet(unitId, data, length);
}

VEZAROR_EXPORT int32_t RequestAsyncRead(const DeviceSelector* selector, VezArorCallback callback,
                                        uint32_t tag, uint32_t signature, uint32_t* unitId) {
    return service().asyncRead(request(selector, callback, tag, signature), unitId);
}

VEZAROR_EXPORT int32_t RequestStatusSetFeature(const DeviceSelector* selector,
                                               VezArorCallback callback, uint32_t tag,
                                               const uint8_t* data, uint32_t length,
                                               uint32_t signature, int32_t) {
    return service().writeFeature(request(selector, callback, tag, signature), data, length);
}

} // extern "C"
