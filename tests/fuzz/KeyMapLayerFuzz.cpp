// Key map pages read back from a keyboard are untrusted: any page decoded over
// any default layout must give known types to named keys only, keep the
// G-key tags and leave the other layers alone; the result must build again.

#include "FuzzCheck.h"
#include "keyboard/AssignmentTable.h"
#include "keyboard/KeyMapCodec.h"

#include <algorithm>
#include <set>

using namespace tavrik::keyboard;
using tavrik::fuzz::check;

namespace {

// The first 512 bytes are the page, the next 512 the default layout; missing
// bytes are zero, and without a layout the built-in one is used.
void split(const std::uint8_t* data, std::size_t size, KeyMapLayer& page, KeyMapLayer& layout) {
    page.fill(0);
    std::copy_n(data, std::min(size, kKeyMapLayerSize), page.begin());
    layout = BuiltInDefaultLayout;
    if (size > kKeyMapLayerSize) {
        layout.fill(0);
        std::copy_n(data + kKeyMapLayerSize, std::min(size - kKeyMapLayerSize, kKeyMapLayerSize),
                    layout.begin());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KeyMapLayer page;
    KeyMapLayer layout;
    split(data, size, page, layout);
    const int layer = static_cast<int>(size % 3);

    std::set<int> namedRows;
    for (std::size_t k = 0; k < kKeyPositionCount; ++k) {
        namedRows.insert(keyIndexOf(keyCodeOfRecord(hardwareKeyRecordAt(layout, k))));
    }

    AssignmentTable table = defaultTable();
    const AssignmentTable before = table;
    check(decodeKeyMapLayer(table, layer, page, layout));
    for (int row = 0; row < kRowsPerLayer; ++row) {
        const KeyAssignment assignment = *table.recordOf(layer, row);
        check((row != 0 && namedRows.contains(row)) || assignment.type == AssignmentType::Default);
        check(static_cast<int>(assignment.type) <= static_cast<int>(AssignmentType::Function));
        check(assignment.type != AssignmentType::LaunchProgram);
        check(assignment.type != AssignmentType::TextBlock);
        const bool gKeyRow = row >= kFirstGKeyRow && row < kFirstGKeyRow + kGKeySlotCount;
        check(assignment.tag == (gKeyRow ? gKeyTag(row - kFirstGKeyRow) : 0));
        check(assignment.flags == 0 && assignment.reserved == 0);
    }
    // Everything outside the decoded layer, header included, is untouched.
    const std::size_t layerStart =
        kAssignmentHeaderSize + kLayerSize * static_cast<std::size_t>(layer);
    const auto after = table.bytes();
    const auto original = before.bytes();
    check(std::equal(after.begin(), after.begin() + layerStart, original.begin()));
    check(std::equal(after.begin() + layerStart + kLayerSize, after.end(),
                     original.begin() + layerStart + kLayerSize));
    const auto rebuilt = buildKeyMapLayer(
        table, layer, layout, [](std::uint16_t id) { return static_cast<std::uint16_t>(id - 1); });
    check(rebuilt.has_value());
    check(std::equal(layout.begin() + 3 * kKeyPositionCount, layout.end(),
                     rebuilt->begin() + 3 * kKeyPositionCount));
    return 0;
}
