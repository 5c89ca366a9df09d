#pragma once
// Loading the text slots from the language file: section "LANGUAGE", key
// "language" chooses English ("ENGINSH") with the value 1 and Chinese
// ("CHINESE") with any other, and each text key of the chosen section fills
// its slot. The file is only read; the language is chosen by editing it.

#include "text/LanguageTexts.h"

#include <string>

namespace tavrik::text {

// The program folder + "Skins/language.ini"; a missing '/' after the folder
// is supplied.
std::string languageFilePath(const std::string& programFolder);

// The language value as a decimal integer (text that does not start with
// digits is 0): 1 is English, any other value Chinese.
int languageValue(const std::string& languageFile);

// "ENGINSH" or "CHINESE", from the file as it is now.
std::u16string languageSection(const std::string& languageFile);

// Loads every slot of one group from the chosen section. A key missing from
// the section, or a missing file, loads a single blank. The windows whose
// texts are read when shown (menus, About box, composite editor) call this
// each time, so an edited file shows without a restart.
void loadTextGroup(const std::string& languageFile, TextGroup group);

// The texts fixed at start-up: every slot of the main group.
void loadLanguageTexts(const std::string& languageFile);

// The captions of the profile, macro, restore-defaults, OK, Cancel and Apply
// buttons and the tips of the Minimize, Menu and Close buttons, loaded into
// their slots when the main window initialises; the window then shows them.
void loadProfileCaptions(const std::string& languageFile);

} // namespace tavrik::text
