#include "tests/reliability/SaveVersions.h"

#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
#include "platform/PathSet.h"
#include "platform/SettingsStore.h"
#include "profile/ProfileFile.h"
#include "service/virtual/StateFile.h"
#include "sync/DataSets.h"
#include "sync/WorkingFile.h"
#include "tests/support/FullProfile.h"

#include <QSettings>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <string_view>

namespace tavrik::reliability {
namespace {

// Enough keys that a save takes a while, so that kills land inside saves.
constexpr int kIniKeys = 2000;
constexpr int kSettingKeys = 500;

std::u16string valueOf(int version) {
    return version == 0 ? u"first version of the value" : u"second version, another length";
}

std::u16string keyName(int index) {
    const std::string name = "Key" + std::to_string(index);
    return std::u16string(name.begin(), name.end());
}

constexpr std::u16string_view kFiller = u"a value that no save changes";

// The version of `value`; -1 when it is neither. Also -1 when one of the
// other keys lost its value.
template <typename Read> int versionOfKeys(int count, Read read) {
    for (int index = 1; index < count; ++index) {
        if (read(index) != kFiller) {
            return -1;
        }
    }
    const std::u16string value = read(0);
    return value == valueOf(0) ? 0 : value == valueOf(1) ? 1 : -1;
}

// An INI file of many keys, one of which each save changes through the
// program's own write: the whole file is read, changed and saved.
std::string iniPath(const std::string& folder) {
    return folder + "/file.ini";
}

bool iniPrepare(const std::string& folder) {
    platform::IniDocument document;
    for (int index = 0; index < kIniKeys; ++index) {
        document.setValue(u"Section", keyName(index), kFiller);
    }
    const std::string bytes = document.bytes();
    return platform::writeFileAtomically(
        iniPath(folder), {std::span<const std::uint8_t>(
                             reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size())});
}

bool iniSave(const std::string& folder, int version) {
    return platform::IniFile(iniPath(folder)).writeString(u"Section", keyName(0), valueOf(version));
}

int iniLoadedVersion(const std::string& folder) {
    const platform::IniSnapshot file = platform::IniFile(iniPath(folder)).snapshot();
    return versionOfKeys(
        kIniKeys, [&](int index) { return file.readString(u"Section", keyName(index), u""); });
}

std::string settingsPath(const std::string& folder) {
    return folder + "/config/" + kSettingsOrganisation + "/" + kSettingsApplication + ".conf";
}

QString settingKey(int index) {
    return QStringLiteral("PROFILES/") + QString::fromStdU16String(keyName(index));
}

// The settings of many keys; each save changes one through the program's
// store, which writes the whole file.
bool settingsPrepare(const std::string& folder) {
    if (::setenv("XDG_CONFIG_HOME", (folder + "/config").c_str(), 1) != 0) {
        return false;
    }
    QSettings settings;
    for (int index = 1; index < kSettingKeys; ++index) {
        settings.setValue(settingKey(index), QString::fromStdU16String(std::u16string(kFiller)));
    }
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool settingsSave(const std::string&, int version) {
    return platform::writeSetting(u"PROFILES", keyName(0), valueOf(version));
}

int settingsLoadedVersion(const std::string& folder) {
    const QSettings settings(QString::fromStdString(settingsPath(folder)), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        return -1;
    }
    return versionOfKeys(kSettingKeys, [&](int index) {
        return settings.value(settingKey(index)).toString().toStdU16String();
    });
}

std::string workingPath(const std::string& folder) {
    return folder + "/" + std::string(platform::kUserDataFolderName) + "/$Profile0";
}

bool workingPrepare(const std::string& folder) {
    platform::PathSet paths;
    paths.userDataFolder = folder + "/" + std::string(platform::kUserDataFolderName);
    platform::installPathSet(paths);
    std::error_code error;
    std::filesystem::create_directories(paths.userDataFolder, error);
    // The working file is saved only where it exists.
    return !error && platform::writeFileAtomically(workingPath(folder), {});
}

bool workingSave(const std::string&, int version) {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    sync::workingSet() = testing::fullWorkingSet(static_cast<std::uint16_t>(version));
    return sync::saveWorkingFile(false);
}

int workingLoadedVersion(const std::string& folder) {
    std::vector<std::uint8_t> image;
    if (profile::readValidatedProfileImage(workingPath(folder), image) !=
        profile::validation::Acceptable) {
        return -1;
    }
    for (int version = 0; version < 2; ++version) {
        sync::WorkingSet set = testing::fullWorkingSet(static_cast<std::uint16_t>(version));
        if (image == profile::profileImageOf(set)) {
            return version;
        }
    }
    return -1;
}

service::KeyboardMemory keyboardVersion(int version) {
    service::KeyboardMemory memory = service::KeyboardMemory::factoryFresh();
    for (std::size_t i = 0; i < memory.pages.size(); ++i) {
        memory.pages[i] = static_cast<std::uint8_t>(i * 7 + version);
    }
    for (std::size_t i = 0; i < memory.macro.size(); ++i) {
        memory.macro[i] = static_cast<std::uint8_t>(i * 13 + version);
    }
    memory.info[service::kActiveProfileByte] = static_cast<std::uint8_t>(version);
    return memory;
}

std::string statePath(const std::string& folder) {
    return folder + "/state/keyboard.state";
}

bool stateSave(const std::string& folder, int version) {
    return service::saveStateFile(statePath(folder), keyboardVersion(version));
}

int stateLoadedVersion(const std::string& folder) {
    service::KeyboardMemory memory;
    if (service::loadStateFile(statePath(folder), memory) != service::StateLoad::Loaded) {
        return -1;
    }
    const std::vector<std::uint8_t> loaded = service::encodeState(memory);
    for (int version = 0; version < 2; ++version) {
        if (loaded == service::encodeState(keyboardVersion(version))) {
            return version;
        }
    }
    return -1;
}

bool nothingToPrepare(const std::string&) {
    return true;
}

} // namespace

const std::vector<SaveKind>& saveKinds() {
    static const std::vector<SaveKind> kinds = {
        {"ini", iniPrepare, iniSave, iniPath, iniLoadedVersion},
        {"settings", settingsPrepare, settingsSave, settingsPath, settingsLoadedVersion},
        {"working", workingPrepare, workingSave, workingPath, workingLoadedVersion},
        {"state", nothingToPrepare, stateSave, statePath, stateLoadedVersion},
    };
    return kinds;
}

const SaveKind* saveKindNamed(const std::string& name) {
    for (const SaveKind& kind : saveKinds()) {
        if (name == kind.name) {
            return &kind;
        }
    }
    return nullptr;
}

} // namespace tavrik::reliability
