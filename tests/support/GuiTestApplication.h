#pragma once
// A QApplication for the whole run of a test program that drives widgets:
// including this header in any of the program's sources registers it once,
// and the application exists from before the first test until after the last.

#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace tavrik::testing {

class GuiTestApplication final : public ::testing::Environment {
public:
    void SetUp() override {
        // Widgets are drawn without a display, as under ctest.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        if (QApplication::instance() == nullptr) {
            application_ = std::make_unique<QApplication>(argc_, argv_);
        }
    }
    void TearDown() override { application_.reset(); }

private:
    int argc_ = 1;
    char name_[16] = "tavrik-tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> application_;
};

// Registered while the program starts, before gtest_main runs the tests.
inline ::testing::Environment* const guiTestApplication =
    ::testing::AddGlobalTestEnvironment(new GuiTestApplication);

} // namespace tavrik::testing
