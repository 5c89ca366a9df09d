/*
 * VezAror.h - the HID service library's interface, compiled by both sides:
 * libVezAror.so (service/) and the program that loads it with dlopen (device/).
 *
 * Twelve exports with C linkage. All integers are 32-bit. Every request carries
 * a signature that the caller computes over the request's bytes with
 * VezArorSignatureTable; the service recomputes it and refuses (returns 0,
 * registers nothing) a request whose signature does not match.
 *
 * 64-bit layout agreement
 * -----------------------
 * The records keep their original field order; every address field is
 * pointer-sized (8 bytes) and naturally aligned:
 *
 *   DeviceSelector          16 bytes  mask u32 @0, vendor u16 @4, product u16 @6,
 *                                     usage page u16 @8, usage u16 @10, 4 zero bytes @12
 *   ServiceEvent            16 bytes  kind u32 @0, unused u32 @4, request address @8
 *   ServiceRequestRecord    32 bytes  tag u32 @0, length/count u32 @4, data address @8,
 *                                     unused address @16, report address @24
 *   ServiceConsumerReport   40 bytes  28 bytes not read @0, 4 bytes padding @28,
 *                                     address of the 16-bit consumer code @32
 *
 * Signature of a request: start from 0 and add, modulo 2^32, the table entry of
 * every byte of these blocks, in this order:
 *   1. the 16 bytes of the DeviceSelector,
 *   2. the low four bytes (little-endian) of the callback address (0 for none),
 *   3. the four bytes of the tag (0 for none),
 *   4. the data bytes, exactly the length passed (requests with data only).
 * The order of bytes does not change the sum.
 *
 * Events
 * ------
 * The service calls the callback of a standing request (RequestAsyncRead,
 * RequestStatusWrite) on its own threads, one reader thread per channel, so a
 * consumer callback that blocks never holds back a command answer. Kind 1: an
 * input report arrived; record.length = bytes, record.data = the bytes, and on
 * a consumer channel record.report->consumerCode points at the 16-bit code.
 * Kind 0: the set of present devices changed; record.length = the number of
 * matching devices now present. The event and everything it points at are
 * valid only during the call.
 *
 * One keyboard, one writer: every process that uses a keyboard reaches the
 * same device. A command packet written with RequestWriteOne to the command
 * collection waits while another process exchanges a command or writes a
 * sequence (beginWrite to endWrite) and returns -1, sending nothing, when the
 * keyboard stays taken for 10 s. The command channel receives only the
 * answers to this process's own commands; every other channel receives all
 * that the keyboard reports.
 *
 * Backends: VEZAROR_BACKEND=hidraw (default) drives real keyboards through
 * hidapi; VEZAROR_BACKEND=virtual drives the virtual keyboard, whose memory
 * lives in the file named by VEZAROR_VIRTUAL_STATE, one keyboard for every
 * process that names that file.
 */
#ifndef VEZAROR_H
#define VEZAROR_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VEZAROR_EXPORT __attribute__((visibility("default")))

typedef struct DeviceSelector {
    uint32_t matchMask; /* which of the four fields must match; the program passes 15 */
    uint16_t vendorId;
    uint16_t productId;
    uint16_t usagePage;
    uint16_t usage;
    uint8_t reserved[4];
} DeviceSelector;

enum {
    VEZAROR_MATCH_VENDOR = 1,
    VEZAROR_MATCH_PRODUCT = 2,
    VEZAROR_MATCH_USAGE_PAGE = 4,
    VEZAROR_MATCH_USAGE = 8,
    VEZAROR_MATCH_ALL = 15
};

typedef struct ServiceConsumerReport {
    uint8_t notRead[28];
    uint32_t padding;
    const uint16_t* consumerCode;
} ServiceConsumerReport;

typedef struct ServiceRequestRecord {
    uint32_t tag;
    uint32_t length; /* kind 1: bytes received; kind 0: devices present */
    const uint8_t* data;
    const void* unused;
    const ServiceConsumerReport* report;
} ServiceRequestRecord;

typedef struct ServiceEvent {
    uint32_t kind; /* 1: input report, 0: device set changed */
    uint32_t unused;
    const ServiceRequestRecord* request;
} ServiceEvent;

enum { VEZAROR_EVENT_DEVICES_CHANGED = 0, VEZAROR_EVENT_INPUT_REPORT = 1 };

/* Returns 1 in every case. */
typedef int32_t (*VezArorCallback)(const ServiceEvent* event);

/* The request descriptor as it is signed: selector, callback, tag. */
typedef struct RequestDescriptor {
    DeviceSelector selector;
    VezArorCallback callback;
    uint32_t tag;
} RequestDescriptor;

/* Tags: four-character codes, first character in the most significant byte. */
#define VEZAROR_TAG_LED 0x004C4544u
#define VEZAROR_TAG_CONS 0x434F4E53u
#define VEZAROR_TAG_CTRL 0x4354524Cu

#define VEZAROR_VENDOR_ID 0x0C45u
#define VEZAROR_PRODUCT_ID 0x6523u

/* The signature table, shared knowledge of program and service. Fixed. */
static const uint8_t VezArorSignatureTable[256] = {
    0x2A, 0xB6, 0x34, 0xBF, 0x9C, 0xE7, 0x2E, 0x07, 0x7F, 0x7D, 0xBD, 0x97, 0x91, 0x69, 0xC2, 0x1A,
    0x12, 0x1C, 0x32, 0xE1, 0xAE, 0x88, 0x40, 0x00, 0x0B, 0x5E, 0xA2, 0x8D, 0xEB, 0x24, 0x20, 0x84,
    0x01, 0x11, 0x70, 0x13, 0x60, 0x1E, 0x56, 0x48, 0xFE, 0xB9, 0xA8, 0xE4, 0xAC, 0x04, 0x73, 0x5C,
    0xB8, 0x4F, 0x31, 0x8B, 0xD4, 0xC0, 0x08, 0x27, 0x8E, 0xF2, 0x7B, 0xD3, 0x30, 0x67, 0x4D, 0x53,
    0x68, 0x57, 0xB0, 0xDD, 0xF4, 0x9E, 0x6C, 0x14, 0xFD, 0x9F, 0xEC, 0xC3, 0xAD, 0x92, 0x87, 0xD9,
    0xDA, 0x39, 0xD8, 0xD2, 0x94, 0x61, 0x7A, 0x16, 0xC9, 0x33, 0x65, 0xCF, 0x62, 0x5F, 0xD0, 0x3B,
    0x55, 0x52, 0xEA, 0xE5, 0x7C, 0x1B, 0x9A, 0x90, 0x50, 0x6B, 0x71, 0x96, 0xB5, 0xE0, 0x19, 0xCA,
    0x6A, 0x72, 0x0F, 0x37, 0xE6, 0x2D, 0x3C, 0x2C, 0x3F, 0x8A, 0xF0, 0x02, 0xA1, 0x51, 0xF1, 0x6D,
    0x66, 0x8F, 0x47, 0x79, 0xA0, 0x49, 0x29, 0x42, 0xA4, 0x0D, 0x2F, 0xB4, 0x3A, 0xE8, 0xCE, 0xFB,
    0x63, 0x7E, 0x9B, 0xBE, 0xED, 0x83, 0x0A, 0x5B, 0x64, 0xBB, 0x54, 0xF6, 0xEF, 0xC4, 0xDC, 0xA7,
    0xEE, 0xAF, 0xCB, 0x5A, 0xF9, 0x75, 0xF5, 0x10, 0x8C, 0x15, 0xA9, 0x4B, 0xF7, 0xAA, 0x77, 0xE3,
    0x80, 0x28, 0x26, 0xD5, 0x6F, 0x18, 0xC8, 0x82, 0x76, 0xC5, 0x03, 0x44, 0x2B, 0x46, 0x95, 0xA3,
    0xC1, 0xC6, 0xAB, 0x3E, 0x06, 0xE9, 0x85, 0x1F, 0x41, 0xB3, 0xCC, 0xBC, 0x0E, 0x38, 0xFA, 0x4E,
    0xF8, 0x86, 0x4A, 0x35, 0x43, 0x78, 0x5D, 0xDB, 0x58, 0xD7, 0x0C, 0xFF, 0x99, 0xB7, 0x05, 0x25,
    0x81, 0xDE, 0xA6, 0x23, 0x3D, 0x6E, 0xA5, 0x45, 0xE2, 0xB2, 0xD1, 0x1D, 0xCD, 0x21, 0x9D, 0xFC,
    0x74, 0xDF, 0xD6, 0xB1, 0xF3, 0x4C, 0xBA, 0x17, 0x59, 0xC7, 0x36, 0x89, 0x09, 0x93, 0x22, 0x98,
};

/* Sets the service's diagnostic level: 0 quiet, 1 errors, 2 every request,
 * written to standard error. Returns the previous level. */
VEZAROR_EXPORT int32_t Debug(int32_t level);

/* Starts the service with the backend chosen by VEZAROR_BACKEND. Returns a
 * positive value when ready, 0 or negative on failure. Further calls return
 * the same positive value without starting anything again. */
VEZAROR_EXPORT int32_t Init(int32_t flags);

/* Cancels every standing request, stops the service's threads and closes its
 * devices. Returns 1. Init may be called again afterwards. */
VEZAROR_EXPORT int32_t End(void);

/* Number of present devices matching the selector (signed over the
 * descriptor only). 0 for none or for a refused request. */
VEZAROR_EXPORT int32_t RequestGetDeviceCount(const DeviceSelector* selector,
                                             VezArorCallback callback, uint32_t tag,
                                             uint32_t signature, int32_t reserved);

/* Cancels the standing request registered under `unitId`. Returns 1 when
 * one was cancelled, 0 when none had that id (0 is never a valid id). */
VEZAROR_EXPORT int32_t DeleteRequestFromUnitId(uint32_t unitId);

/* Cancels every standing request whose callback is `callback`. Returns the
 * number cancelled. */
VEZAROR_EXPORT int32_t DeleteRequestFromHandle(VezArorCallback callback);

/* Writes `length` bytes (at most 64) as an output report to every matching
 * device. Returns the number of devices written, 0 for none or refused. */
VEZAROR_EXPORT int32_t RequestWrite(const DeviceSelector* selector, VezArorCallback callback,
                                    uint32_t tag, const uint8_t* data, uint32_t length,
                                    uint32_t signature, int32_t reserved);

/* Writes `length` bytes (at most 64) as an output report to the first
 * matching device. Returns a positive value on success, 0 or negative when
 * nothing was written. */
VEZAROR_EXPORT int32_t RequestWriteOne(const DeviceSelector* selector, VezArorCallback callback,
                                       uint32_t tag, const uint8_t* data, uint32_t length,
                                       uint32_t signature, int32_t reserved);

/* Registers a standing status request: the bytes (at most 64) are written as
 * an output report to every matching device now and to every matching device
 * that arrives later; the callback receives the device-set events. Stores the
 * new unit id in *unitId. Returns 1, or 0 when refused. */
VEZAROR_EXPORT int32_t RequestStatusWrite(const DeviceSelector* selector,
                                          VezArorCallback callback, uint32_t tag,
                                          const uint8_t* data, uint32_t length,
                                          uint32_t signature, uint32_t* unitId);

/* Reads the last status bytes written by the standing request `unitId` into
 * `data` (capacity `length`). Returns the number of bytes copied, 0 for an
 * unknown id. */
VEZAROR_EXPORT int32_t RequestStatusGet(uint32_t unitId, uint8_t* data, uint32_t length);

/* Registers a standing asynchronous read: every input report of a matching
 * device and every change of the matching device set reach the callback on a
 * thread of this request's own. Stores the new unit id in *unitId. Returns 1,
 * or 0 when refused. */
VEZAROR_EXPORT int32_t RequestAsyncRead(const DeviceSelector* selector, VezArorCallback callback,
                                        uint32_t tag, uint32_t signature, uint32_t* unitId);

/* Sends a feature report (first byte the report number, at most 64 bytes) to
 * the first matching device. Returns a positive value on success. */
VEZAROR_EXPORT int32_t RequestStatusSetFeature(const DeviceSelector* selector,
                                               VezArorCallback callback, uint32_t tag,
                                               const uint8_t* data, uint32_t length,
                                               uint32_t signature, int32_t reserved);

#ifdef __cplusplus
}
#endif

#endif /* VEZAROR_H */
