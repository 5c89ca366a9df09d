#include "lighting/LightingEditor.h"

#include "device/ResultCodes.h"
#include "lighting/EffectControls.h"
#include "lighting/ZonePaintingSetting.h"
#include "lighting/Zones.h"

#include <algorithm>

namespace tavrik::lighting {
namespace {

constexpr int kPlainEffect = 1;

int clampedLevel(int value) {
    return std::clamp(value, 0, kLevelMaximum);
}

} // namespace

std::array<ZoneColours, kProfileCount> LightingState::filledZones(Colour colour) {
    std::array<ZoneColours, kProfileCount> zones{};
    for (ZoneColours& profile : zones) {
        profile.fill(colour);
    }
    return zones;
}

int LightingState::brightnessPosition() const {
    return clampedLevel(record.brightness);
}

int LightingState::speedPosition() const {
    return clampedLevel(kLevelMaximum - record.speed);
}

LightingEditor::LightingEditor(Files files) : files_(std::move(files)) {
    // The switch is the user's, not the keyboard's: it holds before any
    // keyboard answers.
    state_.zonePainting = readZonePainting(files_.settingsFile);
    loadUserModes();
}

bool LightingEditor::readLightingState(bool withZones) {
    state_.effects = EffectList();
    KeyboardLighting lighting;
    if (readKeyboardLighting(withZones, lighting) != device::result::Success) {
        return false;
    }
    state_.effects = lighting.effects;
    state_.record = decodeRecord(lighting.records[static_cast<std::size_t>(state_.profile)]);
    if (lighting.zones) {
        state_.zones = *lighting.zones;
    }
    state_.zonePainting = readZonePainting(files_.settingsFile);
    confirm();
    return true;
}

void LightingEditor::setProfile(int profile) {
    if (profile < 0 || profile >= kProfileCount || profile == state_.profile) {
        return;
    }
    state_.profile = profile;
    loadUserModes();
}

void LightingEditor::confirm() {
    confirmedRecord_ = state_.record;
    confirmedZones_ = state_.zones;
}

Change LightingEditor::written(int code, bool withZones) {
    if (code == device::result::Success) {
        confirm();
        return Change::Written;
    }
    // A keyboard that cannot be read either keeps what it last took.
    if (!readLightingState(withZones)) {
        state_.record = confirmedRecord_;
        state_.zones = confirmedZones_;
    }
    return Change::Refused;
}

int LightingEditor::writeByte(std::size_t offset, int value) {
    return writeRecordByte(state_.profile, offset, static_cast<std::uint8_t>(value));
}

Change LightingEditor::selectEffect(int listIndex) {
    const int effect = state_.effects.effectAt(listIndex);
    if (effect < 0) {
        return Change::Unchanged;
    }
    state_.record.effect = effect;
    const std::uint8_t effectByte[] = {static_cast<std::uint8_t>(effect)};
    const std::uint8_t randomByte[] = {static_cast<std::uint8_t>(state_.record.random ? 1 : 0)};
    const RecordField fields[] = {{offset::Effect, effectByte}, {offset::Random, randomByte}};
    const std::size_t count = effectCarriesRandomFlag(effect) ? 2 : 1;
    return written(writeRecordFields(state_.profile, std::span(fields, count)));
}

Change LightingEditor::moveSlider(Slider slider, int position) {
    position = clampedLevel(position);
    LightingRecord& record = state_.record;
    if (slider == Slider::Brightness) {
        if (position == record.brightness) {
            return Change::Unchanged;
        }
        record.brightness = position;
        return written(writeByte(offset::Brightness, position));
    }
    // The speed slider runs the other way: position 0 is the fastest, speed 4.
    const int speed = kLevelMaximum - position;
    if (speed == record.speed) {
        return Change::Unchanged;
    }
    record.speed = speed;
    return written(writeByte(offset::Speed, speed));
}

Change LightingEditor::chooseDirection(int direction) {
    state_.record.direction = direction != 0 ? 1 : 0;
    return written(writeByte(offset::Direction, state_.record.direction));
}

Change LightingEditor::chooseColour(Colour colour) {
    state_.record.colour = colour;
    state_.record.random = false;
    const std::uint8_t randomByte[] = {0};
    const std::array<std::uint8_t, 3> colourBytesOfChoice = colourBytes(colour);
    const RecordField fields[] = {{offset::Random, randomByte},
                                  {offset::EffectColour, colourBytesOfChoice}};
    return written(writeRecordFields(state_.profile, fields));
}

Change LightingEditor::toggleRandom() {
    state_.record.random = !state_.record.random;
    return written(writeByte(offset::Random, state_.record.random ? 1 : 0));
}

Change LightingEditor::choosePreset(int preset) {
    if (preset < 0 || preset >= kPresetCount) {
        return Change::Unchanged;
    }
    state_.record.preset = preset;
    return written(writeByte(offset::Preset, preset));
}

Change LightingEditor::chooseReportRate(int rate) {
    if (rate < 0 || rate > kReportRateMaximum) {
        return Change::Unchanged;
    }
    state_.record.reportRate = rate;
    return written(writeByte(offset::ReportRate, rate));
}

Change LightingEditor::paintZone(int buttonId) {
    const int zone = zoneOfButton(buttonId);
    if (state_.record.effect != kZoneEffect || zone < 0) {
        return Change::Unchanged;
    }
    const Colour colour = state_.painting.tool == PaintingTool::PaintingColour
                              ? state_.painting.paintingColour
                              : state_.painting.baseColour;
    ZoneColours& zones = state_.zones[static_cast<std::size_t>(state_.profile)];
    zones[static_cast<std::size_t>(firstSlotOfZone(zone))] = colour;
    zones[static_cast<std::size_t>(firstSlotOfZone(zone) + 1)] = colour;
    return written(writeZoneColour(state_.profile, zone, colour), true);
}

Change LightingEditor::restoreDefaults() {
    const int plain = state_.effects.indexOf(kPlainEffect);
    if (plain >= 0 && selectEffect(plain) == Change::Refused) {
        return Change::Refused;
    }
    const int code = writeDefaultRecord(state_.profile);
    if (code == device::result::Success) {
        state_.record = defaultRecord();
    }
    return written(code);
}

void LightingEditor::setZonePainting(bool on) {
    state_.zonePainting = on;
    writeZonePainting(files_.settingsFile, on);
}

void LightingEditor::choosePaintingColour(Colour colour) {
    state_.painting.paintingColour = colour;
    storeUserModeColours();
}

void LightingEditor::choosePaintingTool() {
    state_.painting.tool = PaintingTool::PaintingColour;
    storeUserModeColours();
}

void LightingEditor::renameUserMode(std::u16string name) {
    std::vector<std::u16string>& names = state_.userModeNames;
    const auto at = static_cast<std::size_t>(state_.userMode);
    if (at < names.size()) {
        names[at] = name;
    } else {
        names.insert(names.begin() + static_cast<std::ptrdiff_t>(std::min(at, names.size())), name);
    }
    writeUserModeName(userColourFile(), state_.userMode, name);
}

void LightingEditor::chooseUserMode(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= state_.userModeNames.size()) {
        return;
    }
    state_.userMode = index;
    if (const auto colours = readUserModeColours(userColourFile(), index)) {
        state_.painting = *colours;
    }
}

void LightingEditor::storeUserModeColours() {
    writeUserModeColours(userColourFile(), state_.userMode, state_.painting);
}

void LightingEditor::loadUserModes() {
    state_.userModeNames = readUserModeNames(userColourFile());
    state_.userMode = 0;
    if (const auto colours = readUserModeColours(userColourFile(), 0)) {
        state_.painting = *colours;
    }
}

std::string LightingEditor::userColourFile() const {
    return userColourFilePath(files_.userColourPrefix, state_.profile);
}

} // namespace tavrik::lighting
