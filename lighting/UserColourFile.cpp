#include "lighting/UserColourFile.h"

#include "platform/IniFile.h"
#include "platform/IniValues.h"
#include "platform/Unicode.h"

namespace tavrik::lighting {
namespace {

constexpr std::u16string_view kNameSection = u"MODENAME";
// Every mode is reached by a name typed into the list, one at a time; a
// longer run of names is not a file this program wrote.
constexpr int kMaximumModes = 100;

std::u16string number(int value) {
    return platform::toUtf16(std::to_string(value));
}

std::u16string modeSection(int mode) {
    return u"Mode" + number(mode);
}

} // namespace

std::string userColourFilePath(const std::string& prefix, int profile) {
    if (prefix.empty()) {
        return {};
    }
    return prefix + std::to_string(profile) + ".userd";
}

bool writeUserModeColours(const std::string& file, int mode, const UserModeColours& colours) {
    platform::IniFile ini(file);
    const std::u16string section = modeSection(mode);
    const bool tool = ini.writeString(section, u"tool", number(static_cast<int>(colours.tool)));
    const bool base = ini.writeString(section, u"jcolor", colourText(colours.baseColour));
    const bool painting = ini.writeString(section, u"color", colourText(colours.paintingColour));
    return tool && base && painting;
}

bool writeUserModeName(const std::string& file, int mode, std::u16string_view name) {
    return platform::IniFile(file).writeString(kNameSection, number(mode), name);
}

std::optional<UserModeColours> readUserModeColours(const std::string& file, int mode) {
    const platform::IniSnapshot ini = platform::IniFile(file).snapshot();
    const std::u16string section = modeSection(mode);
    const std::u16string tool = ini.readString(section, u"tool", u"");
    const auto base = parseColourText(ini.readString(section, u"jcolor", u""));
    const auto painting = parseColourText(ini.readString(section, u"color", u""));
    if (tool.empty() || !base || !painting) {
        return std::nullopt;
    }
    // Any tool but 1 paints with the painting colour, as the tool picture sets it.
    const PaintingTool chosen = platform::parseIniInteger(tool) == 1 ? PaintingTool::BaseColour
                                                                     : PaintingTool::PaintingColour;
    return UserModeColours{chosen, *base, *painting};
}

std::vector<std::u16string> readUserModeNames(const std::string& file) {
    const platform::IniSnapshot ini = platform::IniFile(file).snapshot();
    std::vector<std::u16string> names;
    for (int mode = 0; mode < kMaximumModes; ++mode) {
        std::u16string name = ini.readString(kNameSection, number(mode), u"");
        if (name.empty()) {
            break;
        }
        names.push_back(std::move(name));
    }
    return names;
}

} // namespace tavrik::lighting
