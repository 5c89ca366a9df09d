// Macro areas read back from a keyboard are untrusted: decoding any bytes must
// stay inside them and keep the limits, and what was decoded must encode and
// decode again to the same macros.

#include "FuzzCheck.h"
#include "macro/MacroAreaImage.h"

#include <limits>
#include <vector>

using namespace tavrik::macro;
using tavrik::fuzz::check;

namespace {

void checkRoundTrip(const MacroList& records) {
    const MacroAreaSizes sizes = measureMacroAreaImage(records);
    if (sizes.withNames > std::numeric_limits<std::uint16_t>::max()) {
        return; // macros repeated through shared offsets may not fit a real area
    }
    std::vector<std::uint8_t> image(sizes.withNames);
    check(buildMacroAreaImage(records, image, true));
    MacroList again;
    check(decodeMacroAreaImage(image, again) == records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        check(again[i].cycles() == records[i].cycles());
        check(again[i].actions() == records[i].actions());
        check(again[i].name() == records[i].name());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MacroList records;
    const std::size_t count = decodeMacroAreaImage({data, size}, records);
    check(count == records.size());
    check(count <= kMaxMacros);
    for (std::size_t i = 0; i < records.size(); ++i) {
        check(records[i].storedActionCount() <= kMaxActions);
        check(records[i].id() >= 1 && records[i].id() <= kMaxMacros);
        check(i == 0 || records[i].id() > records[i - 1].id());
        check(records[i].newFlag() == 0);
    }
    checkRoundTrip(records);
    return 0;
}
