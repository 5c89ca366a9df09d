#pragma once
// A skin layout file ("Skins/Main.ini", "Skins/Composite.ini",
// "Skins/Profile.ini"): its values, its control rectangles and the folder its
// image names are relative to.

#include "platform/IniFile.h"
#include "platform/IniValues.h"

#include <string>
#include <string_view>

namespace tavrik::ui {

class CIniFile {
public:
    explicit CIniFile(std::string path) : file_(std::move(path)) {}

    const std::string& path() const { return file_.path(); }
    // The layout file's folder with a trailing '/'; "./" for a bare name.
    std::string folder() const;

    std::u16string readString(std::u16string_view section, std::u16string_view key,
                              std::u16string_view defaultValue) const {
        return file_.readString(section, key, defaultValue);
    }
    // A rectangle of section `section` (default "BUTTONINFO"); a missing or
    // malformed value is the rectangle (1, 1, 1, 1).
    platform::LayoutRectangle
    readRect(std::u16string_view key,
             std::u16string_view section = platform::kLayoutSection) const {
        return platform::readLayoutRectangle(file_, section, key);
    }
    // An image named in the file, as a path beside the layout file. Windows
    // separators in the name are taken as '/'. Empty for an empty name.
    std::string imagePath(std::u16string_view imageName) const;

private:
    platform::IniFile file_;
};

} // namespace tavrik::ui
