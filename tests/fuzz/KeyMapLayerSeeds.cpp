// Seeds for the key map fuzz target: pages built by the program itself, with
// and without a default layout behind them.

#include "FuzzSeeds.h"
#include "keyboard/AssignmentTable.h"
#include "keyboard/KeyMapCodec.h"

#include <vector>

using namespace tavrik::keyboard;

namespace {

KeyAssignment assignment(AssignmentType type, std::uint32_t value) {
    KeyAssignment a;
    a.type = type;
    a.value = value;
    return a;
}

std::vector<std::uint8_t> pageAndLayout(const KeyMapLayer& page, const KeyMapLayer& layout) {
    std::vector<std::uint8_t> bytes(page.begin(), page.end());
    bytes.insert(bytes.end(), layout.begin(), layout.end());
    return bytes;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<std::string> corpus = tavrik::fuzz::corpusFolder(argc, argv);
    if (!corpus) {
        return 2;
    }
    const std::string& folder = *corpus;
    AssignmentTable table = defaultTable();
    table.storeRecord(0, keyIndexOf(0x01E), assignment(AssignmentType::Disabled, 0));
    table.storeRecord(0, keyIndexOf(0x030), assignment(AssignmentType::SingleKey, 0x138));
    table.storeRecord(0, keyIndexOf(0x02E), assignment(AssignmentType::SingleKey, 0x01F));
    table.storeRecord(0, keyIndexOf(0x00D), assignment(AssignmentType::Media, 6));
    table.storeRecord(0, keyIndexOf(0x03B), assignment(AssignmentType::Function, 9));
    table.storeRecord(0, keyIndexOf(0x03C), assignment(AssignmentType::PlayMacro, 3));
    table.storeRecord(0, keyIndexOf(0x03D), assignment(AssignmentType::StopMacro, 0));
    table.storeRecord(0, 257, assignment(AssignmentType::PlayMacro, 1));

    KeyMapLayer layout = BuiltInDefaultLayout;
    setHardwareKeyRecordAt(layout, 0, {0x06, 0xA2, 0x01});
    setHardwareKeyRecordAt(layout, 1, {0x06, 0xA2, 0x02});
    setHardwareKeyRecordAt(layout, 130, {0x04, 0x81, 0x00});
    const auto lookup = [](std::uint16_t id) { return static_cast<std::uint16_t>(id - 1); };
    const KeyMapLayer page = *buildKeyMapLayer(table, 0, layout, lookup);
    const KeyMapLayer builtInPage = *buildKeyMapLayer(table, 0, BuiltInDefaultLayout, lookup);

    bool written = tavrik::fuzz::writeSeed(folder, "built-in-page", builtInPage);
    written =
        tavrik::fuzz::writeSeed(folder, "page-and-layout", pageAndLayout(page, layout)) && written;
    written = tavrik::fuzz::writeSeed(folder, "default-layout",
                                      pageAndLayout(BuiltInDefaultLayout, BuiltInDefaultLayout)) &&
              written;
    return written ? 0 : 1;
}
