#include "device/ServiceBinding.h"

#include <gtest/gtest.h>
#include <string>

namespace tavrik::device {
namespace {

const std::string kServiceFolder = TAVRIK_TEST_SERVICE_DIR;

struct FailingLibrary {
    const char* name;
    std::string path;
    BindResult result;
};

const FailingLibrary kFailingLibraries[] = {
    {"missing library", kServiceFolder + "/libNoSuchService.so", BindResult::LibraryMissing},
    {"library without RequestStatusGet", kServiceFolder + "/libIncompleteService.so",
     BindResult::ExportMissing},
    {"Init returns 0", kServiceFolder + "/libRefusingService.so", BindResult::InitFailed},
};

TEST(ServiceBinding, EachFailureIsReportedAndLeavesNoBinding) {
    for (const FailingLibrary& library : kFailingLibraries) {
        SCOPED_TRACE(library.name);
        EXPECT_EQ(bindService(library.path.c_str()), library.result);
        EXPECT_EQ(serviceBinding().module, nullptr);
        EXPECT_FALSE(isServiceBound());
    }
}

TEST(ServiceBindingDeathTest, EachFailureEndsTheProcessWithExitCodeZeroAndNoMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const FailingLibrary& library : kFailingLibraries) {
        SCOPED_TRACE(library.name);
        EXPECT_EXIT(bindServiceOrExit(library.path.c_str()), ::testing::ExitedWithCode(0), "^$");
        EXPECT_EXIT(
            {
                startBindingService(library.path.c_str());
                bindServiceOrExit(library.path.c_str());
            },
            ::testing::ExitedWithCode(0), "^$");
    }
}

} // namespace
} // namespace tavrik::device
