#pragma once
// The user colour file of a lighting profile, "UserDengColor_<p>.userd" in
// the skin folder (the INI overlay takes it where that folder cannot be
// written). It keeps the user modes of zone painting:
//
//   [Mode<m>]   tool=0|1   jcolor=r,g,b (base colour)   color=r,g,b (painting colour)
//   [MODENAME]  <m>=the mode's name as typed
//
// The user-mode list offers the named modes again at the next start.

#include "lighting/Colour.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::lighting {

// Painting with the painting colour, or with the base colour.
enum class PaintingTool { PaintingColour = 0, BaseColour = 1 };

struct UserModeColours {
    PaintingTool tool = PaintingTool::PaintingColour;
    Colour baseColour = kBlack;
    Colour paintingColour = kWhite;

    friend bool operator==(const UserModeColours&, const UserModeColours&) = default;
};

// `prefix` (the path set's lightingFilePrefix) + p + ".userd"; empty for an
// empty prefix, which no write can reach.
std::string userColourFilePath(const std::string& prefix, int profile);

// "tool", "jcolor" and "color" of section "Mode<m>", in that order.
bool writeUserModeColours(const std::string& file, int mode, const UserModeColours& colours);
// Key <m> of "MODENAME".
bool writeUserModeName(const std::string& file, int mode, std::u16string_view name);

// The colours of mode m, when its section holds a tool and both colours.
std::optional<UserModeColours> readUserModeColours(const std::string& file, int mode);
// The names of modes 0, 1, ... up to the first mode without a name.
std::vector<std::u16string> readUserModeNames(const std::string& file);

} // namespace tavrik::lighting
