// INI files come from anywhere (skins, language files, user folders): any
// bytes must parse, write back exactly as they came, and take a change that
// reads back the same after the document is written and parsed again.

#include "FuzzCheck.h"
#include "platform/IniDocument.h"

#include <string>

using namespace tavrik::platform;

using tavrik::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    IniDocument document = IniDocument::parse(bytes);
    check(document.bytes() == bytes);
    document.find(u"BUTTONINFO", u"IDOK");

    // A change lands, and survives a write and a read.
    check(!document.setValue(u"Fuzz", u"Key", u"value") ||
          document.find(u"fuzz", u"KEY") == u"value");
    check(document.find(u"Fuzz", u"Key") == u"value");
    const IniDocument again = IniDocument::parse(document.bytes());
    check(again.find(u"Fuzz", u"Key") == u"value");
    check(again.encoding() == document.encoding());

    document.removeKey(u"Fuzz", u"Key");
    check(!document.find(u"Fuzz", u"Key"));
    document.removeSection(u"BUTTONINFO");
    check(!IniDocument::parse(document.bytes()).find(u"BUTTONINFO", u"IDOK"));
    return 0;
}
