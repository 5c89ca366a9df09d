// Campaign: a fault at every exchange of the largest write (three key map
// pages and a full macro memory, as an import sends them) and of a keyboard
// read. The virtual keyboard unplugs, stays silent, answers for another
// command or refuses (FF, FE) at exchange N. Each run must come back within
// the protocol's time-outs, report the failure, leave the working file
// loadable, and one write after the keyboard is back must leave the keyboard
// byte-identical to what was meant.

#include "device/Transaction.h"
#include "profile/ProfileFile.h"
#include "sync/KeyboardReader.h"
#include "sync/ProfileTransfer.h"
#include "tests/reliability/CampaignPoints.h"
#include "tests/support/FullProfile.h"
#include "tests/support/ProfileFixture.h"
#include "tests/support/TestClock.h"
#include "tests/support/VirtualKeyboardSession.h"

#include <chrono>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

namespace tavrik::reliability {
namespace {

using namespace std::chrono_literals;
using profile::testing::Bytes;
using profile::testing::readFile;
using profile::testing::writeFile;

const char* const kAreas[] = {"page0", "page1", "page2", "macro"};

// The longest an exchange may take by the protocol: three attempts, each an
// answer time-out and a busy wait.
constexpr auto kLongestExchange = 3 * (1000ms + 1001ms);

struct FaultKind {
    const char* name;
    std::function<std::string(std::size_t point)> command;
};

// Each fault lasts through the three attempts of the exchange it meets.
const FaultKind kFaultKinds[] = {
    {"unplug", [](std::size_t point) { return "fault unplug-after " + std::to_string(point); }},
    {"no answer",
     [](std::size_t point) { return "fault noanswer 3 after " + std::to_string(point); }},
    {"wrong code",
     [](std::size_t point) { return "fault wrongcode 3 after " + std::to_string(point); }},
    {"status FF",
     [](std::size_t point) { return "fault status ff 3 after " + std::to_string(point); }},
    {"status FE",
     [](std::size_t point) { return "fault status fe 3 after " + std::to_string(point); }},
};

struct Figures {
    std::size_t runs = 0;
    std::size_t hangs = 0;
    std::size_t filesLost = 0;
    std::size_t failuresReportedAsSuccess = 0;
    std::size_t notRecovered = 0;
    std::vector<std::string> faults; // the first few, for the failure message

    void count(std::size_t& figure, const std::string& what) {
        ++figure;
        if (faults.size() < 10) {
            faults.push_back(what);
        }
    }
    std::string line(std::size_t exchanges, std::size_t points) const {
        std::ostringstream text;
        text << points << " of " << exchanges << " exchange points x " << std::size(kFaultKinds)
             << " fault kinds (" << runs << " runs): 0 crashes, " << hangs << " hangs, "
             << filesLost << " files lost, " << failuresReportedAsSuccess
             << " failures reported as success, " << notRecovered
             << " not restored by one more run";
        return text.str();
    }
    bool clean() const { return hangs + filesLost + failuresReportedAsSuccess + notRecovered == 0; }
};

class ExchangeFaultCampaign : public profile::testing::ProfileTest {
protected:
    void SetUp() override {
        device::installDeviceClock(&clock);
        ASSERT_TRUE(keyboard.start());
        ASSERT_TRUE(sync::readKeyboardLayoutAndCapacity());
        ASSERT_EQ(sync::macroCapacity(), 255u * 128u);
        createWorkingFile();
        for (std::uint16_t variant = 0; variant < 2; ++variant) {
            sync::WorkingSet set = testing::fullWorkingSet(variant);
            images[variant] = profile::profileImageOf(set);
            paths[variant] = folder.file("full" + std::to_string(variant) + ".fwc");
            writeFile(paths[variant], images[variant]);
        }
    }
    void TearDown() override {
        keyboard.stop();
        device::installDeviceClock(nullptr);
    }

    std::map<std::string, Bytes> keyboardAreas() {
        std::map<std::string, Bytes> areas;
        for (const char* name : kAreas) {
            areas[name] = keyboard.area(name);
        }
        return areas;
    }

    // Clears the faults and plugs the keyboard in again; false when the
    // service does not see it within ten seconds.
    bool restoreKeyboard() {
        keyboard.control("fault none");
        keyboard.control("plug");
        for (int wait = 0; wait < 10000; ++wait) {
            if (device::queryDeviceCount() == 1) {
                return true;
            }
            std::this_thread::sleep_for(1ms);
        }
        return false;
    }

    // The protocol time the clock was asked for since step `from`.
    std::chrono::milliseconds protocolTimeSince(std::size_t from) const {
        const auto steps = clock.steps();
        std::chrono::milliseconds total{0};
        for (std::size_t i = from; i < steps.size(); ++i) {
            total += steps[i].duration;
        }
        return total;
    }

    long exchangesOf(const std::function<void()>& operation) {
        const long before = keyboard.answeredCommands();
        operation();
        return keyboard.answeredCommands() - before;
    }

    tavrik::testing::TestClock clock{5};
    tavrik::testing::VirtualKeyboardSession keyboard{folder};
    Bytes images[2];
    std::string paths[2];
};

TEST_F(ExchangeFaultCampaign, TheLargestWriteSurvivesAFaultAtEveryExchange) {
    std::map<std::string, Bytes> intended[2];
    long exchanges = 0;
    for (int variant = 0; variant < 2; ++variant) {
        exchanges = exchangesOf(
            [&] { ASSERT_TRUE(sync::importProfileFrom(paths[variant]).keyboardWritten); });
        intended[variant] = keyboardAreas();
    }
    ASSERT_NE(intended[0], intended[1]);
    // beginWrite, 583 macro packets, three pages of 10, endWrite.
    ASSERT_EQ(exchanges, 615);
    const std::vector<std::size_t> points =
        campaignPoints(static_cast<std::size_t>(exchanges), {1, 584, 594, 604, 614});

    Figures figures;
    int target = 0; // the keyboard holds variant 1 now
    for (const FaultKind& kind : kFaultKinds) {
        for (const std::size_t point : points) {
            const std::string run =
                std::string(kind.name) + " at exchange " + std::to_string(point);
            SCOPED_TRACE(run);
            ++figures.runs;
            keyboard.control(kind.command(point));
            const std::size_t firstStep = clock.steps().size();
            const sync::ImportOutcome outcome = sync::importProfileFrom(paths[target]);
            if (protocolTimeSince(firstStep) > exchanges * kLongestExchange) {
                figures.count(figures.hangs, run);
            }
            ASSERT_TRUE(restoreKeyboard());
            if (outcome.keyboardWritten) {
                figures.count(figures.failuresReportedAsSuccess, run);
            }
            if (profile::validateProfileFile(workingFile()) != profile::validation::Acceptable ||
                readFile(workingFile()) != images[target]) {
                figures.count(figures.filesLost, run);
            }
            if (!sync::importProfileFrom(paths[target]).keyboardWritten ||
                keyboardAreas() != intended[target]) {
                figures.count(figures.notRecovered, run);
            }
            target = 1 - target;
        }
    }
    reportFigures("unplug and faults during a write",
                  figures.line(static_cast<std::size_t>(exchanges), points.size()));
    EXPECT_TRUE(figures.clean()) << ::testing::PrintToString(figures.faults);
}

TEST_F(ExchangeFaultCampaign, AKeyboardReadSurvivesAFaultAtEveryExchange) {
    ASSERT_TRUE(sync::importProfileFrom(paths[0]).keyboardWritten);
    const std::string referencePath = folder.file("reference.fwc");
    const long exchanges =
        exchangesOf([&] { ASSERT_TRUE(sync::readKeyboardToWorkingFile(referencePath)); });
    const Bytes reference = readFile(referencePath);
    // The active profile, three pages of 10 packets, the macro header and
    // 583 packets of the area.
    ASSERT_EQ(exchanges, 615);
    const std::vector<std::size_t> points =
        campaignPoints(static_cast<std::size_t>(exchanges), {1, 11, 21, 31, 32});

    // The file the read replaces holds another profile: a failed read must
    // leave it as it was.
    const std::string path = folder.file("read.fwc");
    Figures figures;
    for (const FaultKind& kind : kFaultKinds) {
        for (const std::size_t point : points) {
            const std::string run =
                std::string(kind.name) + " at exchange " + std::to_string(point);
            SCOPED_TRACE(run);
            ++figures.runs;
            writeFile(path, images[1]);
            keyboard.control(kind.command(point));
            const std::size_t firstStep = clock.steps().size();
            const bool read = sync::readKeyboardToWorkingFile(path);
            if (protocolTimeSince(firstStep) > exchanges * kLongestExchange) {
                figures.count(figures.hangs, run);
            }
            ASSERT_TRUE(restoreKeyboard());
            if (read) {
                figures.count(figures.failuresReportedAsSuccess, run);
            }
            const Bytes after = readFile(path);
            if (profile::validateProfileFile(path) != profile::validation::Acceptable ||
                (after != images[1] && after != reference)) {
                figures.count(figures.filesLost, run);
            }
            if (!sync::readKeyboardToWorkingFile(path) || readFile(path) != reference) {
                figures.count(figures.notRecovered, run);
            }
        }
    }
    reportFigures("unplug and faults during a read",
                  figures.line(static_cast<std::size_t>(exchanges), points.size()));
    EXPECT_TRUE(figures.clean()) << ::testing::PrintToString(figures.faults);
}

} // namespace
} // namespace tavrik::reliability
