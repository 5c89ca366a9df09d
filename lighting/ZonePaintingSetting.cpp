#include "lighting/ZonePaintingSetting.h"

#include "platform/IniFile.h"
#include "platform/IniValues.h"

#include <filesystem>

namespace tavrik::lighting {
namespace {

constexpr std::u16string_view kSection = u"KEYCOLOR";
constexpr std::u16string_view kKey = u"DengCheck";

} // namespace

bool readZonePainting(const std::string& settingsFile) {
    if (settingsFile.empty()) {
        return false;
    }
    return platform::readIniInteger(platform::IniFile(settingsFile), kSection, kKey, u"0") == 1;
}

bool writeZonePainting(const std::string& settingsFile, bool on) {
    if (settingsFile.empty()) {
        return false;
    }
    // The user data folder may not exist yet: nothing else has been saved.
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(settingsFile).parent_path(), ignored);
    platform::IniFile file(settingsFile);
    return file.writeString(kSection, kKey, on ? u"1" : u"0");
}

} // namespace tavrik::lighting
