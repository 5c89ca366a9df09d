/* A service library that cannot be bound: built once without
 * RequestStatusGet, and once complete but with an Init that reports failure. */
#include "VezAror.h"

#define UNUSED(x) (void)(x)

int32_t Debug(int32_t level) {
    return level;
}
int32_t Init(int32_t flags) {
    return flags + INIT_RESULT;
}
int32_t End(void) {
    return 1;
}
int32_t RequestGetDeviceCount(const DeviceSelector* s, VezArorCallback c, uint32_t t, uint32_t g,
                              int32_t r) {
    UNUSED(s), UNUSED(c), UNUSED(t), UNUSED(g), UNUSED(r);
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
    UNUSED(s), UNUSED(c), UNUSED(t), UNUSED(d), UNUSED(g), UNUSED(r);
    return (int32_t)l;
}
int32_t RequestWriteOne(const DeviceSelector* s, VezArorCallback c, uint32_t t, const uint8_t* d,
                        uint32_t l, uint32_t g, int32_t r) {
    UNUSED(s), UNUSED(c), UNUSED(t), UNUSED(d), UNUSED(g), UNUSED(r);
    return (int32_t)l;
}
int32_t RequestStatusWrite(const DeviceSelector* s, VezArorCallback c, uint32_t t, const uint8_t* d,
                           uint32_t l, uint32_t g, uint32_t* unitId) {
    UNUSED(s), UNUSED(c), UNUSED(t), UNUSED(d), UNUSED(l), UNUSED(g);
    *unitId = 1;
    return 1;
}
#ifndef WITHOUT_STATUS_GET
int32_t RequestStatusGet(uint32_t unitId, uint8_t* data, uint32_t length) {
    UNUSED(unitId), UNUSED(data), UNUSED(length);
    return 0;
}
#endif
int32_t RequestAsyncRead(const DeviceSelector* s, VezArorCallback c, uint32_t t, uint32_t g,
                         uint32_t* unitId) {
    UNUSED(s), UNUSED(c), UNUSED(t), UNUSED(g);
    *unitId = 2;
    return 1;
}
int32_t RequestStatusSetFeature(const DeviceSelector* s, VezArorCallback c, uint32_t t,
                                const uint8_t* d, uint32_t l, uint32_t g, int32_t r) {
    UNUSED(s), UNUSED(c), UNUSED(t), UNUSED(d), UNUSED(g), UNUSED(r);
    return (int32_t)l;
}
