#include "device/ServiceBinding.h"

#include <cstdio>
#include <dlfcn.h>
#include <future>
#include <string>
#include <unistd.h>

namespace tavrik::device {
namespace {

ServiceBinding binding;
// The binding started ahead, until bindServiceOrExit takes its result.
std::future<BindResult> bindingAhead;

template <typename Function> bool resolve(void* module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(module, name));
    return function != nullptr;
}

} // namespace

bool resolveServiceFunctions(void* module, ServiceFunctions& functions) {
    return resolve(module, "Debug", functions.Debug) && resolve(module, "Init", functions.Init) &&
           resolve(module, "End", functions.End) &&
           resolve(module, "RequestGetDeviceCount", functions.RequestGetDeviceCount) &&
           resolve(module, "DeleteRequestFromUnitId", functions.DeleteRequestFromUnitId) &&
           resolve(module, "DeleteRequestFromHandle", functions.DeleteRequestFromHandle) &&
           resolve(module, "RequestWrite", functions.RequestWrite) &&
           resolve(module, "RequestWriteOne", functions.RequestWriteOne) &&
           resolve(module, "RequestStatusWrite", functions.RequestStatusWrite) &&
           resolve(module, "RequestStatusGet", functions.RequestStatusGet) &&
           resolve(module, "RequestAsyncRead", functions.RequestAsyncRead) &&
           resolve(module, "RequestStatusSetFeature", functions.RequestStatusSetFeature);
}

BindResult bindService(const char* libraryName) {
    binding = ServiceBinding{};
    void* module = ::dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) {
        return BindResult::LibraryMissing;
    }
    ServiceFunctions functions;
    if (!resolveServiceFunctions(module, functions)) {
        ::dlclose(module);
        return BindResult::ExportMissing;
    }
    if (functions.Init(0) <= 0) {
        ::dlclose(module);
        return BindResult::InitFailed;
    }
    binding.module = module;
    binding.functions = functions;
    return BindResult::Bound;
}

void startBindingService(const char* libraryName) {
    bindingAhead = std::async(std::launch::async, [name = std::string(libraryName)] {
        return bindService(name.c_str());
    });
}

void bindServiceOrExit(const char* libraryName) {
    const BindResult result =
        bindingAhead.valid() ? bindingAhead.get() : bindService(libraryName);
    if (result != BindResult::Bound) {
        // Ends before any window exists; the user interface's objects are
        // still alive on the stack, so no destructors run.
        std::fflush(nullptr);
        ::_exit(0);
    }
}

const ServiceBinding& serviceBinding() {
    return binding;
}

const ServiceFunctions& service() {
    return binding.functions;
}

bool isServiceBound() {
    const ServiceFunctions& f = binding.functions;
    return f.Debug && f.Init && f.End && f.RequestGetDeviceCount && f.DeleteRequestFromUnitId &&
           f.DeleteRequestFromHandle && f.RequestWrite && f.RequestWriteOne &&
           f.RequestStatusWrite && f.RequestStatusGet && f.RequestAsyncRead &&
           f.RequestStatusSetFeature;
}

void installServiceFunctions(const ServiceFunctions& functions) {
    binding.module = nullptr;
    binding.functions = functions;
}

void resetServiceBinding() {
    binding = ServiceBinding{};
}

} // namespace tavrik::device
