/* A service library that lacks RequestStatusGet; everything else answers. */
#include "VezAror.h"

int32_t Debug(int32_t level) {
    return level;
}
int32_t Init(int32_t flags) {
    return flags + 1;
}
int32_t End(void) {
    return 1;
}
int32_t RequestGetDeviceCount(const DeviceSelector* s, VezArorCallback c, uint32_t t, uint32_t g,
                              int32_t r) {
    (void)s, (void)c, (void)t, (void)g, (void)r;
    return 1;
}
int32_t DeleteRequestFromUnitId(uint32_t unitId) {
    return unitId != 0;
}
int32_t DeleteRequestFromHandle(VezArorCallback callback) {
    return callback != 0;
}
int32_t RequestWrite(const DeviceSelector* s, VezArorCallback c, uint32_t t, const uint8_t* d,
                     uint32_t l, uint32_t g, int32_t r) {
    (void)s, (void)c, (void)t, (void)d, (void)g, (void)r;
    return (int32_t)l;
}
int32_t RequestWriteOne(const DeviceSelector* s, VezArorCallback c, uint32_t t, const uint8_t* d,
                        uint32_t l, uint32_t g, int32_t r) {
    (void)s, (void)c, (void)t, (void)d, (void)g, (void)r;
    return (int32_t)l;
}
int32_t RequestStatusWrite(const DeviceSelector* s, VezArorCallback c, uint32_t t, const uint8_t* d,
                           uint32_t l, uint32_t g, uint32_t* unitId) {
    (void)s, (void)c, (void)t, (void)d, (void)l, (void)g;
    *unitId = 1;
    return 1;
}
int32_t RequestAsyncRead(const DeviceSelector* s, VezArorCallback c, uint32_t t, uint32_t g,
                         uint32_t* unitId) {
    (void)s, (void)c, (void)t, (void)g;
    *unitId = 2;
    return 1;
}
int32_t RequestStatusSetFeature(const DeviceSelector* s, VezArorCallback c, uint32_t t,
                                const uint8_t* d, uint32_t l, uint32_t g, int32_t r) {
    (void)s, (void)c, (void)t, (void)d, (void)g, (void)r;
    return (int32_t)l;
}
