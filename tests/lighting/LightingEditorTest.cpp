#include "lighting/LightingEditor.h"

#include "device/Commands.h"
#include "device/DeviceState.h"
#include "device/StartFlags.h"
#include "device/WorkerThreads.h"
#include "platform/Ports.h"
#include "tests/platform/IniTestFiles.h"
#include "tests/support/RecordingPorts.h"
#include "tests/support/TemporaryFolder.h"
#include "tests/support/TestClock.h"
#include "tests/support/VirtualKeyboardSession.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>

namespace tavrik::lighting {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The editor against a fresh virtual keyboard behind the real service
// library; zovu.ini and the user colour files in the test's folder.
class LightingEditorTest : public ::testing::Test {
protected:
    LightingEditorTest() : clock_(5), keyboard_(folder_) {}

    void SetUp() override {
        device::installDeviceClock(&clock_);
        platform::installMainWindowPort(&window_);
        std::filesystem::create_directories(folder_.file("Skins"));
    }
    void TearDown() override {
        keyboard_.stop();
        device::joinAllWorkers();
        device::installDeviceClock(nullptr);
        platform::resetPorts();
        device::resetStartFlags();
        device::resetDeviceState();
        device::setCachedActiveProfile(-1);
        ::unsetenv("VEZAROR_VIRTUAL_EFFECTS");
    }

    // Starts the keyboard, offering `effects` when given, and reads it.
    LightingEditor& start(const char* effects = nullptr, int profile = 0) {
        if (effects != nullptr) {
            ::setenv("VEZAROR_VIRTUAL_EFFECTS", effects, 1);
        }
        EXPECT_TRUE(keyboard_.start());
        editor_.setProfile(profile);
        EXPECT_TRUE(editor_.readLightingState(true));
        return editor_;
    }

    // Puts a byte into a record the way any host would.
    void setRecordByte(int profile, std::size_t offset, std::uint8_t value) {
        const std::uint8_t bytes[] = {value};
        ASSERT_EQ(device::beginWrite(), 1);
        ASSERT_EQ(device::writeParameters(bytes, recordAddress(profile) +
                                                     static_cast<std::uint32_t>(offset)),
                  1);
        ASSERT_EQ(device::endWrite(), 1);
    }

    Bytes lighting() { return keyboard_.area("lighting"); }
    Bytes zones() { return keyboard_.area("zones"); }
    std::string settingsFile() const { return folder_.file("Documents/Tavrik_09A/zovu.ini"); }
    std::string userColourFile(int profile) const {
        return folder_.file("Skins/UserDengColor_") + std::to_string(profile) + ".userd";
    }

    tavrik::testing::TemporaryFolder folder_;
    tavrik::testing::TestClock clock_;
    tavrik::testing::RecordingWindow window_;
    tavrik::testing::VirtualKeyboardSession keyboard_;
    LightingEditor editor_{{settingsFile(), folder_.file("Skins/UserDengColor_")}};
};

// Every byte of `after` equals `before` except those at `changed`.
void expectOnlyChanged(const Bytes& before, const Bytes& after,
                       const std::map<std::size_t, std::uint8_t>& changed) {
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        const auto expected = changed.find(i);
        EXPECT_EQ(after[i], expected == changed.end() ? before[i] : expected->second)
            << "byte " << i;
    }
}

TEST_F(LightingEditorTest, AKeyboardOfferingEffectsOneAndEightListsTwoAndWritesTheChosenOne) {
    LightingEditor& editor = start("1 8", 1);
    EXPECT_EQ(editor.state().effects.effects(), (std::vector<int>{1, 8}));
    ASSERT_TRUE(editor.state().zones[1][0] == kWhite) << "zones read with effect 8 offered";
    const Bytes before = lighting();
    EXPECT_EQ(editor.selectEffect(1), Change::Written);
    expectOnlyChanged(before, lighting(), {{42, 8}});
    EXPECT_EQ(editor.state().record.effect, 8);
    // Effect 1 carries the random flag with it.
    EXPECT_EQ(editor.selectEffect(0), Change::Written);
    expectOnlyChanged(before, lighting(), {{42, 1}, {46, 1}});
    EXPECT_EQ(editor.selectEffect(2), Change::Unchanged) << "no third entry";
}

TEST_F(LightingEditorTest, SlidersWriteTheirSingleByteAndSpeedRunsTheOtherWay) {
    LightingEditor& editor = start(nullptr, 2);
    Bytes before = lighting();
    EXPECT_EQ(editor.moveSlider(Slider::Brightness, 3), Change::Written);
    expectOnlyChanged(before, lighting(), {{85, 3}});
    EXPECT_EQ(editor.state().brightnessPosition(), 3);

    const long commands = keyboard_.answeredCommands();
    EXPECT_EQ(editor.moveSlider(Slider::Brightness, 3), Change::Unchanged);
    EXPECT_EQ(editor.moveSlider(Slider::Speed, 3), Change::Unchanged) << "speed 1 is position 3";
    EXPECT_EQ(keyboard_.answeredCommands(), commands) << "a position already held writes nothing";

    for (const auto& [position, speed] : {std::pair{0, 4}, {1, 3}, {2, 2}, {4, 0}}) {
        before = lighting();
        EXPECT_EQ(editor.moveSlider(Slider::Speed, position), Change::Written);
        expectOnlyChanged(before, lighting(), {{86, static_cast<std::uint8_t>(speed)}});
        EXPECT_EQ(editor.state().record.speed, speed);
        EXPECT_EQ(editor.state().speedPosition(), position);
    }
}

TEST_F(LightingEditorTest, EachControlWritesItsFieldOfTheShownProfile) {
    LightingEditor& editor = start(nullptr, 1);
    const struct {
        const char* what;
        std::function<Change()> change;
        std::map<std::size_t, std::uint8_t> written;
    } cases[] = {
        {"left", [&] { return editor.chooseDirection(1); }, {{45, 1}}},
        {"right", [&] { return editor.chooseDirection(0); }, {{45, 0}}},
        {"random off", [&] { return editor.toggleRandom(); }, {{46, 0}}},
        {"random on", [&] { return editor.toggleRandom(); }, {{46, 1}}},
        {"colour",
         [&] { return editor.chooseColour(rgb(51, 34, 17)); },
         {{46, 0}, {47, 51}, {48, 34}, {49, 17}}},
        {"preset blue", [&] { return editor.choosePreset(3); }, {{59, 3}}},
        {"report rate 2", [&] { return editor.chooseReportRate(2); }, {{57, 2}}},
    };
    for (const auto& c : cases) {
        const Bytes before = lighting();
        EXPECT_EQ(c.change(), Change::Written) << c.what;
        expectOnlyChanged(before, lighting(), c.written);
    }
    EXPECT_EQ(editor.state().record.colour, rgb(51, 34, 17));
    EXPECT_FALSE(editor.state().record.random);
    EXPECT_EQ(editor.choosePreset(4), Change::Unchanged);
    EXPECT_EQ(editor.chooseReportRate(4), Change::Unchanged);
}

TEST_F(LightingEditorTest, TheStateMirrorsTheShownProfilesRecord) {
    start();
    setRecordByte(2, 15, 7);
    setRecordByte(2, 17, 9);
    setRecordByte(2, 2, 3);
    setRecordByte(0, 1, 2);
    editor_.setProfile(2);
    ASSERT_TRUE(editor_.readLightingState(false));
    EXPECT_EQ(editor_.state().record.reportRate, 3) << "a report rate of 7 counts as 3";
    EXPECT_EQ(editor_.state().record.preset, 0);
    EXPECT_EQ(editor_.state().speedPosition(), 1);
    EXPECT_EQ(editor_.state().brightnessPosition(), 4);
    editor_.setProfile(0);
    ASSERT_TRUE(editor_.readLightingState(false));
    EXPECT_EQ(editor_.state().brightnessPosition(), 2);
    editor_.setProfile(3);
    EXPECT_EQ(editor_.state().profile, 0) << "no fourth profile";
}

TEST_F(LightingEditorTest, PaintingAZoneWritesItsTwoColoursWithTheTool) {
    LightingEditor& editor = start(nullptr, 1);
    const int letterO = 1052; // zone 3
    EXPECT_EQ(editor.paintZone(letterO), Change::Unchanged) << "effect 1 paints nothing";
    ASSERT_EQ(editor.selectEffect(editor.state().effects.indexOf(kZoneEffect)), Change::Written);
    editor.choosePaintingColour(rgb(51, 34, 17));
    Bytes before = zones();
    EXPECT_EQ(editor.paintZone(letterO), Change::Written);
    expectOnlyChanged(
        before, zones(),
        {{36 + 18, 51}, {36 + 19, 34}, {36 + 20, 17}, {36 + 21, 51}, {36 + 22, 34}, {36 + 23, 17}});
    EXPECT_EQ(editor.state().shownZones()[6], rgb(51, 34, 17));
    EXPECT_EQ(editor.state().shownZones()[7], rgb(51, 34, 17));
    EXPECT_EQ(editor.paintZone(1087), Change::Unchanged) << "the right Windows key is in no zone";

    // A stored user mode with the base-colour tool paints with the base colour.
    ASSERT_TRUE(tavrik::testing::writeBytes(
        userColourFile(1), "[MODENAME]\n0=Dark\n[Mode0]\ntool=1\njcolor=1,2,3\ncolor=9,9,9\n"));
    editor.setProfile(0);
    editor.setProfile(1);
    before = zones();
    EXPECT_EQ(editor.paintZone(1000), Change::Written); // G1, zone 0
    expectOnlyChanged(before, zones(), {{36, 1}, {37, 2}, {38, 3}, {39, 1}, {40, 2}, {41, 3}});
}

TEST_F(LightingEditorTest, RestoringDefaultsWritesTheDefaultRecordAndShowsIt) {
    LightingEditor& editor = start(nullptr, 2);
    ASSERT_EQ(editor.selectEffect(4), Change::Written);
    ASSERT_EQ(editor.moveSlider(Slider::Speed, 4), Change::Written);
    for (std::size_t offset = 35; offset < 42; ++offset) {
        setRecordByte(2, offset, 0x5A);
    }
    EXPECT_EQ(editor.restoreDefaults(), Change::Written);
    const Bytes after = lighting();
    EXPECT_EQ(Bytes(after.begin() + 84, after.begin() + 84 + 35),
              Bytes(kDefaultRecord.begin(), kDefaultRecord.end()));
    EXPECT_EQ(Bytes(after.begin() + 84 + 35, after.begin() + 84 + 42), Bytes(7, 0x5A))
        << "the carried bytes are never written";
    EXPECT_EQ(editor.state().record, defaultRecord());
    EXPECT_EQ(editor.state().speedPosition(), 3) << "the slider shows the stored speed 1";
}

TEST_F(LightingEditorTest, ARefusedWriteIsFollowedByAFreshRead) {
    LightingEditor& editor = start(nullptr, 0);
    keyboard_.control("fault status ff 3");
    EXPECT_EQ(editor.chooseColour(rgb(1, 2, 3)), Change::Refused);
    EXPECT_EQ(editor.state().record.colour, kRed) << "the keyboard still holds red";
    EXPECT_TRUE(editor.state().record.random);
    EXPECT_EQ(editor.state().effects.size(), 18u);

    keyboard_.control("fault status ff 3");
    EXPECT_EQ(editor.moveSlider(Slider::Brightness, 1), Change::Refused);
    EXPECT_EQ(editor.state().brightnessPosition(), 4);
    EXPECT_EQ(lighting()[1], 4);
}

TEST_F(LightingEditorTest, AWriteToAKeyboardThatIsGoneChangesNothing) {
    LightingEditor& editor = start(nullptr, 0);
    ASSERT_EQ(editor.chooseReportRate(1), Change::Written);
    keyboard_.control("unplug");
    EXPECT_EQ(editor.chooseReportRate(2), Change::Refused);
    EXPECT_EQ(editor.state().record.reportRate, 1) << "what the keyboard took last";
    ASSERT_EQ(editor.selectEffect(7), Change::Unchanged) << "the list went with the keyboard";
}

TEST_F(LightingEditorTest, AFailedReadEmptiesTheEffectListAndKeepsTheRest) {
    LightingEditor& editor = start(nullptr, 1);
    ASSERT_EQ(editor.moveSlider(Slider::Brightness, 2), Change::Written);
    keyboard_.control("unplug");
    EXPECT_FALSE(editor.readLightingState(true));
    EXPECT_TRUE(editor.state().effects.empty());
    EXPECT_EQ(editor.state().brightnessPosition(), 2);
    EXPECT_EQ(editor.selectEffect(0), Change::Unchanged);
}

TEST_F(LightingEditorTest, ZonesAreReadOnlyWhenAskedAndOffered) {
    start("1 2 3");
    ASSERT_EQ(device::beginWrite(), 1);
    const std::uint8_t black[3] = {0, 0, 0};
    ASSERT_EQ(device::writeColours(black, 0, 0), 1);
    ASSERT_EQ(device::endWrite(), 1);
    ASSERT_TRUE(editor_.readLightingState(true));
    EXPECT_EQ(editor_.state().zones[0][0], kWhite) << "no effect 8: the zones are not read";
    keyboard_.stop();
    ::setenv("VEZAROR_VIRTUAL_EFFECTS", "8", 1);
    ASSERT_TRUE(keyboard_.start());
    ASSERT_TRUE(editor_.readLightingState(false));
    EXPECT_EQ(editor_.state().zones[0][0], kWhite) << "not asked";
    ASSERT_TRUE(editor_.readLightingState(true));
    EXPECT_EQ(editor_.state().zones[0][0], kBlack);
}

TEST_F(LightingEditorTest, TheSwitchAndTheUserModesLiveInTheirFiles) {
    LightingEditor& editor = start(nullptr, 1);
    EXPECT_FALSE(editor.state().zonePainting);
    editor.setZonePainting(true);
    ASSERT_TRUE(editor.readLightingState(false));
    EXPECT_TRUE(editor.state().zonePainting);
    EXPECT_EQ(tavrik::testing::readBytes(settingsFile()), "[KEYCOLOR]\nDengCheck=1\n");

    // Right after start: the colour goes to Mode0 of profile 1's file, the
    // typed name becomes the list's first entry.
    editor.choosePaintingColour(rgb(51, 34, 17));
    editor.renameUserMode(u"E");
    editor.renameUserMode(u"Ev");
    EXPECT_EQ(editor.state().userModeNames, std::vector<std::u16string>{u"Ev"});
    EXPECT_EQ(tavrik::testing::readBytes(userColourFile(1)),
              "[Mode0]\ntool=0\njcolor=0,0,0\ncolor=51,34,17\n[MODENAME]\n0=Ev\n");

    // Another editor, as at the next start, offers the modes again and
    // restores the one chosen; its changes go to that mode.
    ASSERT_TRUE(writeUserModeName(userColourFile(1), 1, u"Other"));
    ASSERT_TRUE(writeUserModeColours(userColourFile(1), 1,
                                     {PaintingTool::BaseColour, rgb(7, 8, 9), rgb(1, 1, 1)}));
    LightingEditor later({settingsFile(), folder_.file("Skins/UserDengColor_")});
    EXPECT_TRUE(later.state().zonePainting) << "the switch holds before the keyboard is read";
    later.setProfile(1);
    EXPECT_EQ(later.state().userModeNames, (std::vector<std::u16string>{u"Ev", u"Other"}));
    EXPECT_EQ(later.state().painting.paintingColour, rgb(51, 34, 17)) << "mode 0 at start";
    later.chooseUserMode(1);
    EXPECT_EQ(later.state().painting,
              (UserModeColours{PaintingTool::BaseColour, rgb(7, 8, 9), rgb(1, 1, 1)}));
    later.choosePaintingTool();
    EXPECT_EQ(readUserModeColours(userColourFile(1), 1),
              (UserModeColours{PaintingTool::PaintingColour, rgb(7, 8, 9), rgb(1, 1, 1)}));
    later.chooseUserMode(0);
    EXPECT_EQ(later.state().painting.paintingColour, rgb(51, 34, 17));
    later.setProfile(2);
    EXPECT_TRUE(later.state().userModeNames.empty()) << "profile 2 has no file";
}

} // namespace
} // namespace tavrik::lighting
