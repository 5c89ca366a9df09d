#include "app/compositeeditor/RecordPausesOption.h"

#include "platform/IniValues.h"
#include "platform/SettingsStore.h"
#include "text/LanguageTexts.h"

#include <string>

namespace tavrik::app {
namespace {

constexpr std::u16string_view kSection = u"PROFILES";

std::u16string optionName() {
    return text::languageText("MACRO_ACTION_RECORD_DELAY");
}

} // namespace

int loadRecordPauses() {
    return platform::parseIniInteger(platform::readSetting(kSection, optionName(), u"0"));
}

int saveRecordPauses(int value) {
    const int stored = value == 1 ? 1 : 0;
    platform::writeSetting(kSection, optionName(), stored == 1 ? u"1" : u"0");
    return stored;
}

} // namespace tavrik::app
