// Seeds for the profile file fuzz target: files written by the program itself.

#include "FuzzSeeds.h"
#include "profile/ProfileFile.h"
#include "sync/DataSets.h"

#include <vector>

using namespace tavrik;

namespace {

macro::MacroRecord macroOf(std::uint16_t id, std::u16string_view name) {
    macro::MacroRecord record;
    record.setName(name);
    record.setCycles(1);
    record.setId(id);
    record.setActions(std::vector<macro::MacroAction>{{120, 0x1E, 0}, {0, 0x1E, 1}});
    return record;
}

sync::WorkingSet sampleSet() {
    sync::WorkingSet set;
    set.table = keyboard::defaultTable();
    set.macros = {macroOf(1, u"one"), macroOf(4, u"four")};
    const keyboard::KeyAssignment program{keyboard::AssignmentType::LaunchProgram, 0, 0};
    const keyboard::KeyAssignment text{keyboard::AssignmentType::TextBlock, 0, 0};
    set.table.storeRecord(0, 0x1E, program);
    set.table.storeRecord(2, 260, text);
    set.table.storeRecord(1, 0x30, {keyboard::AssignmentType::PlayMacro, 2, 4});
    set.strings.set(*keyboard::StringTable::entryOf(0, 0x1E), u"/usr/bin/gimp");
    set.strings.set(*keyboard::StringTable::entryOf(2, 260), u"hello\r\nworld");
    return set;
}

} // namespace

int main(int argc, char** argv) {
    const std::optional<std::string> corpus = tavrik::fuzz::corpusFolder(argc, argv);
    if (!corpus) {
        return 2;
    }
    const std::string& folder = *corpus;
    sync::WorkingSet empty;
    empty.table = keyboard::defaultTable();
    sync::WorkingSet sample = sampleSet();
    const std::vector<std::uint8_t> emptyImage = profile::profileImageOf(empty);
    const std::vector<std::uint8_t> sampleImage = profile::profileImageOf(sample);
    std::vector<std::uint8_t> truncated = sampleImage;
    truncated.resize(sampleImage.size() - 16512);
    const bool written = fuzz::writeSeed(folder, "empty.fwc", emptyImage) &&
                         fuzz::writeSeed(folder, "sample.fwc", sampleImage) &&
                         fuzz::writeSeed(folder, "truncated.fwc", truncated);
    return written ? 0 : 1;
}
