#include "text/LanguageFile.h"

#include "platform/IniFile.h"
#include "platform/IniValues.h"
#include "platform/Unicode.h"

#include <string_view>

namespace tavrik::text {
namespace {

constexpr std::u16string_view kReadDefault = u" ";
constexpr std::string_view kButtonTips[] = {"MAIN_MINIMIZE_PROMPT", "MAIN_MENU_PROMPT",
                                            "MAIN_CLOSE_PROMPT"};

int valueOf(const platform::IniSnapshot& file) {
    return platform::readIniInteger(file, u"LANGUAGE", u"language", kReadDefault);
}

std::u16string sectionOf(const platform::IniSnapshot& file) {
    return valueOf(file) == 1 ? u"ENGINSH" : u"CHINESE";
}

// A text longer than its built-in default is stored whole: the slots are
// strings, so nothing is cut beyond the 259 characters the read itself takes.
void loadSlot(const platform::IniSnapshot& file, std::u16string_view section,
              std::string_view key) {
    setLanguageText(key, file.readString(section, platform::toUtf16(key), kReadDefault));
}

void loadGroup(const platform::IniSnapshot& file, std::u16string_view section, TextGroup group) {
    for (const TextSlotInfo& slot : textSlots()) {
        if (slot.group == group) {
            loadSlot(file, section, slot.key);
        }
    }
}

} // namespace

std::string languageFilePath(const std::string& programFolder) {
    const bool needsSlash = !programFolder.empty() && programFolder.back() != '/';
    return programFolder + (needsSlash ? "/" : "") + "Skins/language.ini";
}

int languageValue(const std::string& languageFile) {
    return valueOf(platform::IniFile(languageFile).snapshot());
}

std::u16string languageSection(const std::string& languageFile) {
    return sectionOf(platform::IniFile(languageFile).snapshot());
}

void loadTextGroup(const std::string& languageFile, TextGroup group) {
    const platform::IniSnapshot file = platform::IniFile(languageFile).snapshot();
    loadGroup(file, sectionOf(file), group);
}

void loadLanguageTexts(const std::string& languageFile) {
    loadTextGroup(languageFile, TextGroup::Main);
}

void loadProfileCaptions(const std::string& languageFile) {
    const platform::IniSnapshot file = platform::IniFile(languageFile).snapshot();
    const std::u16string section = sectionOf(file);
    loadGroup(file, section, TextGroup::ProfileCaptions);
    for (const std::string_view key : kButtonTips) {
        loadSlot(file, section, key);
    }
}

} // namespace tavrik::text
