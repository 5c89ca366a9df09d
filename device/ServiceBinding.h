#pragma once
// The binding of the keyboard's service library: loaded by bare name at start
// (the executable's RUNPATH covers its own folder), its twelve exports
// resolved, the service started. The record is process-wide, written once
// before any worker exists (on the user-interface thread, or on the thread
// that binds ahead, which that thread joins) and read-only afterwards.

#include "VezAror.h"

namespace tavrik::device {

inline constexpr const char* kServiceLibraryName = "libVezAror.so";

// Entry points in the order they are resolved.
struct ServiceFunctions {
    decltype(&::Debug) Debug = nullptr;
    decltype(&::Init) Init = nullptr;
    decltype(&::End) End = nullptr;
    decltype(&::RequestGetDeviceCount) RequestGetDeviceCount = nullptr;
    decltype(&::DeleteRequestFromUnitId) DeleteRequestFromUnitId = nullptr;
    decltype(&::DeleteRequestFromHandle) DeleteRequestFromHandle = nullptr;
    decltype(&::RequestWrite) RequestWrite = nullptr;
    decltype(&::RequestWriteOne) RequestWriteOne = nullptr;
    decltype(&::RequestStatusWrite) RequestStatusWrite = nullptr;
    decltype(&::RequestStatusGet) RequestStatusGet = nullptr;
    decltype(&::RequestAsyncRead) RequestAsyncRead = nullptr;
    decltype(&::RequestStatusSetFeature) RequestStatusSetFeature = nullptr;
};

struct ServiceBinding {
    void* module = nullptr; // dlopen handle; null when filled from a table
    ServiceFunctions functions;
};

enum class BindResult { Bound, LibraryMissing, ExportMissing, InitFailed };

// Loads the library, resolves the twelve exports and calls Init(0). On
// success the binding record holds the module and the entry points; on any
// failure it is left empty. The library is never unloaded once bound and End
// is never called by the program.
BindResult bindService(const char* libraryName = kServiceLibraryName);

// What the program calls: any failure of bindService ends the process at
// once with exit code 0 and no message. After startBindingService it takes
// that binding's result instead of binding again.
void bindServiceOrExit(const char* libraryName = kServiceLibraryName);

// Binds on a thread of its own, so that loading the library and starting the
// service go on beside the start's connection to the display, which leaves
// the second core idle. Nothing reads the record until bindServiceOrExit.
void startBindingService(const char* libraryName = kServiceLibraryName);

const ServiceBinding& serviceBinding();
const ServiceFunctions& service();
// True when all twelve entry points are in place.
bool isServiceBound();

// Tests: put a table of functions in place of a loaded library, or forget the
// binding (the library itself stays loaded).
// Looks up the twelve exports in a loaded library, in the order above. False
// when one is missing; the entries found so far are filled in.
bool resolveServiceFunctions(void* module, ServiceFunctions& functions);

void installServiceFunctions(const ServiceFunctions& functions);
void resetServiceBinding();

} // namespace tavrik::device
