#include "app/tray/CSubclassWnd.h"

#include "tests/support/GuiTestApplication.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace tavrik::app {
namespace {

const QEvent::Type kProbeEvent = static_cast<QEvent::Type>(QEvent::User + 11);

// The window at the end of every chain: notes which events reach it.
class Window final : public QWidget {
public:
    explicit Window(std::string& trail) : trail_(trail) {}
    bool event(QEvent* event) override {
        if (event->type() == kProbeEvent) {
            trail_ += "window";
            return true;
        }
        return QWidget::event(event);
    }

private:
    std::string& trail_;
};

class NamedHook final : public CSubclassWnd {
public:
    NamedHook(std::string name, std::string& trail, bool handles = false)
        : name_(std::move(name)), trail_(trail), handles_(handles) {}

protected:
    bool windowProc(QObject* window, QEvent* event) override {
        if (event->type() == kProbeEvent) {
            trail_ += name_ + ">";
            if (handles_) {
                return true;
            }
        }
        return CSubclassWnd::windowProc(window, event);
    }

private:
    std::string name_;
    std::string& trail_;
    bool handles_;
};

std::string deliver(QObject& window, std::string& trail) {
    trail.clear();
    QEvent event(kProbeEvent);
    QCoreApplication::sendEvent(&window, &event);
    return trail;
}

TEST(CSubclassWnd, TheLatestHookSeesAnEventFirstAndPassesItOn) {
    std::string trail;
    Window window(trail);
    NamedHook first("first", trail);
    NamedHook second("second", trail);
    EXPECT_TRUE(first.hookWindow(&window));
    EXPECT_TRUE(second.hookWindow(&window));
    EXPECT_EQ(deliver(window, trail), "second>first>window");

    second.unhook();
    EXPECT_EQ(deliver(window, trail), "first>window");
    EXPECT_FALSE(second.isHooked());
    EXPECT_FALSE(second.hookWindow(nullptr));
}

TEST(CSubclassWnd, AHandlingHookEndsTheEventsWay) {
    std::string trail;
    Window window(trail);
    NamedHook bottom("bottom", trail);
    NamedHook middle("middle", trail, true);
    NamedHook top("top", trail);
    bottom.hookWindow(&window);
    middle.hookWindow(&window);
    top.hookWindow(&window);
    EXPECT_EQ(deliver(window, trail), "top>middle>");

    // Leaving from the middle of the chain keeps the rest linked.
    middle.unhook();
    EXPECT_EQ(deliver(window, trail), "top>bottom>window");
}

TEST(CSubclassWnd, HooksLeaveWhenDestroyedOrWhenTheWindowGoes) {
    std::string trail;
    auto window = std::make_unique<Window>(trail);
    NamedHook stays("stays", trail);
    stays.hookWindow(window.get());
    {
        NamedHook shortLived("short", trail);
        shortLived.hookWindow(window.get());
        EXPECT_EQ(deliver(*window, trail), "short>stays>window");
    }
    EXPECT_EQ(deliver(*window, trail), "stays>window");

    window.reset();
    EXPECT_FALSE(stays.isHooked());
    EXPECT_EQ(stays.hookedWindow(), nullptr);

    // Hooking another window moves the hook there.
    Window other(trail);
    Window third(trail);
    stays.hookWindow(&other);
    stays.hookWindow(&third);
    EXPECT_EQ(deliver(other, trail), "window");
    EXPECT_EQ(deliver(third, trail), "stays>window");
}

} // namespace
} // namespace tavrik::app
