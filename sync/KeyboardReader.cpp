#include "sync/KeyboardReader.h"

#include "device/Commands.h"
#include "device/DeviceState.h"
#include "keyboard/AssignmentTable.h"
#include "keyboard/KeyMapCodec.h"
#include "keyboard/ProfileFileHeader.h"
#include "macro/MacroAreaImage.h"
#include "platform/AtomicFile.h"
#include "platform/ByteOrder.h"
#include "sync/DeviceMemory.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace tavrik::sync {
namespace {

// The highest index readActiveProfile may give for the keyboard to count as
// readable here; the pages read do not depend on it.
constexpr int kLargestActiveProfile = 3;

using Pages = std::array<keyboard::KeyMapLayer, device::kKeyMapPageCount>;

bool readPages(Pages& pages) {
    for (int page = 0; page < device::kKeyMapPageCount; ++page) {
        if (device::readKeyMapPage(pages[static_cast<std::size_t>(page)], page) !=
            device::result::Success) {
            return false;
        }
    }
    return true;
}

// The macro area as the keyboard holds it; empty when its header lacks the
// magic. None when a read fails.
std::optional<std::vector<std::uint8_t>> readMacroArea() {
    std::vector<std::uint8_t> header(macro::kMacroAreaHeaderSize);
    if (device::readMacroArea(header) != device::result::Success) {
        return std::nullopt;
    }
    if (platform::readU16(header.data()) != macro::kMacroAreaMagic) {
        return std::vector<std::uint8_t>();
    }
    std::vector<std::uint8_t> area(platform::readU16(header.data() + 2));
    if (device::readMacroArea(area) != device::result::Success) {
        return std::nullopt;
    }
    return area;
}

std::vector<std::uint8_t> profileImageOfKeyboard(const Pages& pages,
                                                 const std::vector<std::uint8_t>& area) {
    macro::MacroList macros;
    macro::decodeMacroAreaImage(area, macros);

    keyboard::AssignmentTable table;
    keyboard::fillTableHeaders(table.header(), static_cast<std::uint16_t>(macros.size()), 0, 0);
    const keyboard::KeyMapLayer layout = sync::defaultLayout();
    for (int layer = 0; layer < device::kKeyMapPageCount; ++layer) {
        keyboard::decodeKeyMapLayer(table, layer, pages[static_cast<std::size_t>(layer)], layout);
    }

    std::vector<std::uint8_t> image(table.bytes().begin(), table.bytes().end());
    for (const macro::MacroRecord& record : macros) {
        image.insert(image.end(), record.bytes().begin(), record.bytes().end());
    }
    return image;
}

// True when the file at `path` holds `image` to the byte. Such a file is
// left as it is: the keyboard is read into the same file at every start,
// and rewriting it unchanged waited for the disk twice.
bool holdsAlready(const std::string& path, const std::vector<std::uint8_t>& image) {
    std::string stored;
    return platform::readWholeFile(path, stored) &&
           std::equal(stored.begin(), stored.end(), image.begin(), image.end(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

} // namespace

std::optional<std::vector<std::uint8_t>> readKeyboardImage() {
    const int active = device::readActiveProfile();
    if (active < 0 || active > kLargestActiveProfile) {
        return std::nullopt;
    }
    Pages pages{};
    if (!readPages(pages)) {
        return std::nullopt;
    }
    const std::optional<std::vector<std::uint8_t>> area = readMacroArea();
    if (!area) {
        return std::nullopt;
    }
    try {
        return profileImageOfKeyboard(pages, *area);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

bool storeKeyboardImage(const std::string& path, const std::vector<std::uint8_t>& image,
                        int* error) {
    if (path.empty()) {
        if (error != nullptr) {
            *error = ENOENT;
        }
        return false;
    }
    if (holdsAlready(path, image)) {
        if (error != nullptr) {
            *error = 0;
        }
        return true;
    }
    return platform::writeFileAtomically(path, {image}, error);
}

bool readKeyboardToWorkingFile(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    const std::optional<std::vector<std::uint8_t>> image = readKeyboardImage();
    return image && storeKeyboardImage(path, *image);
}

} // namespace tavrik::sync
