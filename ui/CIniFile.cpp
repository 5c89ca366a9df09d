#include "ui/CIniFile.h"

#include "platform/Unicode.h"

#include <algorithm>

namespace tavrik::ui {

std::string CIniFile::folder() const {
    const std::string& path = file_.path();
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

std::string CIniFile::imagePath(std::u16string_view imageName) const {
    if (imageName.empty()) {
        return {};
    }
    std::string name = platform::toUtf8(imageName);
    std::replace(name.begin(), name.end(), '\\', '/');
    return name.front() == '/' ? name : folder() + name;
}

} // namespace tavrik::ui
