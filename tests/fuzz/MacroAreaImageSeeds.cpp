// Seeds for the macro area fuzz target: areas built by the program itself.

#include "FuzzSeeds.h"
#include "macro/MacroAreaImage.h"

#include <vector>

using namespace tavrik::macro;

namespace {

MacroRecord macro(std::u16string_view name, std::uint8_t cycles, std::vector<MacroAction> actions) {
    MacroRecord record;
    record.setName(name);
    record.setCycles(cycles);
    record.setActions(actions);
    return record;
}

bool writeArea(const std::string& folder, const std::string& name, const MacroList& list,
               bool names) {
    const MacroAreaSizes sizes = measureMacroAreaImage(list);
    std::vector<std::uint8_t> image(names ? sizes.withNames : sizes.withoutNames);
    return buildMacroAreaImage(list, image, names) && tavrik::fuzz::writeSeed(folder, name, image);
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<std::string> corpus = tavrik::fuzz::corpusFolder(argc, argv);
    if (!corpus) {
        return 2;
    }
    const std::string& folder = *corpus;
    const MacroList one{macro(u"ab", 1, {{120, 0x1E, kPress}, {0, 0x1E, kRelease}})};
    const MacroList several{
        macro(u"modifiers", 2, {{10, 0x01D, kPress}, {40950, 0x138, kPress}, {0, 0x15C, kRelease}}),
        macro(u"", 255, {}),
        macro(u"media", 3, {{500, 0x130, kPress}, {20, 0x15E, kRelease}, {0, 0x054, kPress}})};
    bool written = writeArea(folder, "empty", MacroList{}, false);
    written = writeArea(folder, "one-named", one, true) && written;
    written = writeArea(folder, "several-named", several, true) && written;
    written = writeArea(folder, "several-unnamed", several, false) && written;
    return written ? 0 : 1;
}
