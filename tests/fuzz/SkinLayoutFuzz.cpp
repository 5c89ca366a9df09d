// Skin layout files place every control: any bytes must give each control a
// whole rectangle (four numbers or the default one) and integers within int.

#include "FuzzCheck.h"
#include "platform/IniDocument.h"
#include "platform/IniFile.h"
#include "platform/IniValues.h"
#include "platform/Unicode.h"

#include <memory>
#include <string>

using namespace tavrik::platform;

using tavrik::fuzz::check;

namespace {

// Keys of the program's own layout files.
const std::u16string_view kKeys[] = {u"CONTROL_HELP", u"CONTROL_CLOSE", u"FUNC_PROFILE1",
                                     u"FUNC_MACRO",   u"PROGRAM_LIST",  u"CONTROL_OK"};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const IniSnapshot layout(std::make_shared<const IniLookup>(IniDocument::parse(bytes)));
    for (const std::u16string_view key : kKeys) {
        const LayoutRectangle place = readLayoutRectangle(layout, kLayoutSection, key);
        check(place == LayoutRectangle{} ||
              place == parseLayoutRectangle(layout.readString(kLayoutSection, key, u"")));
        readIniInteger(layout, kLayoutSection, key, u"0");
    }
    // The same bytes as one value, as a line of a file would hold it.
    const std::u16string text = toUtf16(bytes);
    parseLayoutRectangle(text);
    parseIniInteger(text);
    return 0;
}
