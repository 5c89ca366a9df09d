// Campaign: processes killed with SIGKILL at random moments while they save.
// A loop of the program's own save code (an INI file, the settings, the
// working file, the virtual keyboard's state) and tavrikctl writing the
// keyboard (its state file) or reading it into a profile file are killed
// again and again; every file must load afterwards, as its old or its new
// version. Any moment must do: the checks hold wherever the kill lands.

#include "profile/ProfileFile.h"
#include "service/virtual/StateFile.h"
#include "tests/reliability/CampaignPoints.h"
#include "tests/reliability/ChildProcess.h"
#include "tests/reliability/SaveVersions.h"
#include "tests/support/FullProfile.h"
#include "tests/support/ProfileFixture.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/VirtualKeyboardSession.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <thread>

namespace tavrik::reliability {
namespace {

using namespace std::chrono_literals;
using profile::testing::Bytes;
using profile::testing::readFile;
using profile::testing::writeFile;

const std::string kBin = TAVRIK_BIN_DIR;

// Files beside `path` that a save began and a kill left behind.
std::size_t temporariesBeside(const std::string& path) {
    const std::filesystem::path target(path);
    std::size_t count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(target.parent_path(), error)) {
        const std::string name = entry.path().filename().string();
        if (name != target.filename().string() && name.rfind(target.filename().string(), 0) == 0) {
            ++count;
        }
    }
    return count;
}

struct KillFigures {
    std::size_t kills = 0;
    std::size_t filesLost = 0;
    std::size_t temporariesLeft = 0;
    std::vector<std::string> faults;

    void lost(const std::string& what) {
        ++filesLost;
        if (faults.size() < 10) {
            faults.push_back(what);
        }
    }
};

class SaveKillCampaign : public ::testing::Test {
protected:
    void SetUp() override { tavrik::testing::useVirtualKeyboardIn(folder); }

    // Waits a random moment of up to `longest`, then kills the child.
    void killSoon(ChildProcess& child, std::chrono::microseconds longest) {
        std::uniform_int_distribution<long> delay(0, longest.count());
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        child.kill();
    }

    int tavrikctl(const std::string& command, const std::string& path) {
        ChildProcess child;
        if (!child.start({kBin + "/tavrikctl", command, path})) {
            return -1;
        }
        return child.wait();
    }

    static std::size_t kills() {
        return static_cast<std::size_t>(campaignSetting("KILLS", fullCampaign() ? 300 : 12));
    }

    tavrik::testing::TemporaryFolder folder;
    std::mt19937 random{14};
};

TEST_F(SaveKillCampaign, EveryFileLoadsAsItsOldOrNewVersionAfterAKillDuringItsSave) {
    for (const SaveKind& kind : saveKinds()) {
        SCOPED_TRACE(kind.name);
        const std::string place = folder.file(kind.name);
        std::filesystem::create_directory(place);
        KillFigures figures;
        for (std::size_t run = 0; run < kills(); ++run) {
            ChildProcess saver;
            ASSERT_TRUE(saver.start({kBin + "/reliability_save_loop", kind.name, place}));
            ASSERT_TRUE(saver.waitForLine("saving")) << "the save loop did not start";
            killSoon(saver, 20ms);
            ++figures.kills;
            if (kind.loadedVersion(place) < 0) {
                figures.lost("run " + std::to_string(run));
            }
        }
        figures.temporariesLeft = temporariesBeside(kind.path(place));
        std::ostringstream line;
        line << figures.kills << " kills: " << figures.filesLost << " files lost, "
             << figures.temporariesLeft << " temporary files left";
        reportFigures(std::string("kill during saves of the ") + kind.name + " file", line.str());
        EXPECT_EQ(figures.filesLost, 0u) << ::testing::PrintToString(figures.faults);
    }
}

TEST_F(SaveKillCampaign, TavrikctlKilledWhileItWritesOrReadsTheKeyboardLosesNoFile) {
    // Two full profiles; the keyboard's state after a clean write of each.
    std::string profiles[2];
    Bytes states[2];
    Bytes reads[2];
    for (int variant = 0; variant < 2; ++variant) {
        sync::WorkingSet set = testing::fullWorkingSet(static_cast<std::uint16_t>(variant));
        profiles[variant] = folder.file("full" + std::to_string(variant) + ".fwc");
        writeFile(profiles[variant], profile::profileImageOf(set));
        ASSERT_EQ(tavrikctl("write", profiles[variant]), 0);
        states[variant] = readFile(folder.file("keyboard.state"));
        const std::string read = folder.file("read" + std::to_string(variant) + ".fwc");
        ASSERT_EQ(tavrikctl("read", read), 0);
        reads[variant] = readFile(read);
    }
    ASSERT_NE(states[0], states[1]);

    KillFigures writes;
    for (std::size_t run = 0; run < kills(); ++run) {
        const int target = static_cast<int>(run % 2);
        ChildProcess writer;
        ASSERT_TRUE(writer.start({kBin + "/tavrikctl", "write", profiles[target]}));
        killSoon(writer, 400ms);
        ++writes.kills;
        service::KeyboardMemory memory;
        const Bytes state = readFile(folder.file("keyboard.state"));
        if (service::loadStateFile(folder.file("keyboard.state"), memory) !=
                service::StateLoad::Loaded ||
            (state != states[0] && state != states[1])) {
            writes.lost("write run " + std::to_string(run));
        }
    }
    writes.temporariesLeft = temporariesBeside(folder.file("keyboard.state"));
    ASSERT_EQ(tavrikctl("write", profiles[0]), 0);

    // The keyboard holds profile 0; the file read into holds profile 1's read.
    KillFigures reads01;
    const std::string path = folder.file("read.fwc");
    for (std::size_t run = 0; run < kills(); ++run) {
        writeFile(path, reads[1]);
        ChildProcess reader;
        ASSERT_TRUE(reader.start({kBin + "/tavrikctl", "read", path}));
        killSoon(reader, 400ms);
        ++reads01.kills;
        const Bytes after = readFile(path);
        if (profile::validateProfileFile(path) != profile::validation::Acceptable ||
            (after != reads[0] && after != reads[1])) {
            reads01.lost("read run " + std::to_string(run));
        }
    }
    reads01.temporariesLeft = temporariesBeside(path);

    for (const auto& [what, figures] : {std::pair{"tavrikctl write (keyboard state)", &writes},
                                        std::pair{"tavrikctl read (profile file)", &reads01}}) {
        std::ostringstream line;
        line << figures->kills << " kills: " << figures->filesLost << " files lost, "
             << figures->temporariesLeft << " temporary files left";
        reportFigures(std::string("kill during saves of ") + what, line.str());
        EXPECT_EQ(figures->filesLost, 0u) << ::testing::PrintToString(figures->faults);
    }
}

} // namespace
} // namespace tavrik::reliability
