#pragma once
// The text slots: one text per language key, holding its built-in default
// until the language file is loaded. Every user-visible message of the model
// is taken from here by its key ("UNKNOWN_KEY", "MEDIA_PALYER_1", ...).

#include <span>
#include <string>
#include <string_view>

namespace tavrik::text {

// Which loader fills a slot. Only the main group is loaded at start-up; the
// others are read by their windows each time they are shown.
enum class TextGroup {
    Main,            // loadLanguageTexts
    ProfileCaptions, // loadProfileCaptions: profile, OK, Cancel and Apply buttons
    Menu,            // main menu and tray menu, read when they open
    About,           // About box, read when it opens
    Composite,       // composite editor, read when it initialises
};

struct TextSlotInfo {
    std::string_view key;
    std::u16string_view builtInDefault;
    TextGroup group;
};

// Every slot, in load order.
std::span<const TextSlotInfo> textSlots();

// The current text of a slot; an unknown key gives an empty text.
std::u16string languageText(std::string_view key);

// Replaces the text of a slot (the loaders do this); an unknown key is ignored.
void setLanguageText(std::string_view key, std::u16string text);

// Puts every slot back to its built-in default.
void resetLanguageTexts();

} // namespace tavrik::text
