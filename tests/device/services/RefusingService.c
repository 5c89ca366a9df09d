/* A service library with all twelve exports whose Init reports failure. */
#include "VezAror.h"

static int32_t initCalls = 0;

int32_t Debug(int32_t level) {
    return initCalls + level;
}
int32_t Init(int32_t flags) {
    (void)flags;
    ++initCalls;
    return 0;
}
int32_t End(void) {
    return 1;
}
int32_t RequestGetDeviceCount(const DeviceSelector* s, VezArorCallback c, uint32_t t, uint32_t g,
                              int32_t r) {
    (void)s, (void)c, (void)t, (void)g, (void)r;
    return 0;
}
int32_t DeleteRequestFromUnitId(uint32_t unitId) {
    (void)unitId;
    return 0;
}
int32_t DeleteRequestFromHandle(VezArorCallback callback) {
    (void)callback;
    return 0;
}
int32_t RequestWrite(const DeviceSelector* s, VezArorCallback c, uint32_t t, const uint8_t* d,
                     uint32_t l, uint32_t g, int32_t r) {
    (void)s, (void)c, (void)t, (void)d, (void)l, (void)g, (void)r;
    return 0;
}
int32_t RequestWriteOne(const DeviceSelector* s, VezArorCallback c, uint32_t t, const uint8_t* d,
                        uint32_t l, uint32_t g, int32_t r) {
    (void)s, (void)c, (void)t, (void)d, (void)l, (void)g, (void)r;
    return 0;
}
int32_t RequestStatusWrite(const DeviceSelector* s, VezArorCallback c, uint32_t t, const uint8_t* d,
                           uint32_t l, uint32_t g, uint32_t* unitId) {
    (void)s, (void)c, (void)t, (void)d, (void)l, (void)g, (void)unitId;
    return 0;
}
int32_t RequestStatusGet(uint32_t unitId, uint8_t* data, uint32_t length) {
    (void)unitId, (void)data, (void)length;
    return 0;
}
int32_t RequestAsyncRead(const DeviceSelector* s, VezArorCallback c, uint32_t t, uint32_t g,
                         uint32_t* unitId) {
    (void)s, (void)c, (void)t, (void)g, (void)unitId;
    return 0;
}
int32_t RequestStatusSetFeature(const DeviceSelector* s, VezArorCallback c, uint32_t t,
                                const uint8_t* d, uint32_t l, uint32_t g, int32_t r) {
    (void)s, (void)c, (void)t, (void)d, (void)l, (void)g, (void)r;
    return 0;
}
