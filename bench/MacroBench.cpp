// Encoding and decoding of what one write to the keyboard carries at most: a
// full macro memory (255 blocks of 128 bytes) and the key map pages of the
// three profiles.

#include "keyboard/AssignmentTable.h"
#include "keyboard/KeyMapCodec.h"
#include "macro/MacroAreaImage.h"
#include "macro/MacroList.h"

#include <array>
#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

using namespace tavrik;

constexpr std::size_t kFullMacroMemory = 255 * 128;

// 100 macros of 75 actions and a 10-unit name: 32616 bytes with names.
macro::MacroList fullMacroList() {
    macro::MacroList list;
    for (std::uint16_t m = 0; m < macro::kMaxMacros; ++m) {
        macro::MacroRecord record;
        record.setName(u"Macro " + std::u16string(1, static_cast<char16_t>(u'A' + m % 26)) +
                       u"xyz");
        record.setCycles(1);
        record.setId(static_cast<std::uint16_t>(m + 1));
        std::vector<macro::MacroAction> actions;
        for (int a = 0; a < 75; ++a) {
            const std::uint16_t keys[] = {0x01E, 0x138, 0x130, 0x15E, 0x02A, 0x039};
            actions.push_back({a * 10, keys[a % 6], static_cast<std::uint16_t>(a % 2)});
        }
        record.setActions(actions);
        list.push_back(record);
    }
    return list;
}

keyboard::AssignmentTable busyTable() {
    using keyboard::AssignmentType;
    keyboard::AssignmentTable table = keyboard::defaultTable();
    const AssignmentType types[] = {AssignmentType::Disabled, AssignmentType::SingleKey,
                                    AssignmentType::PlayMacro, AssignmentType::Media,
                                    AssignmentType::Function};
    for (int layer = 0; layer < 3; ++layer) {
        for (int row = 0; row < 256; ++row) {
            keyboard::KeyAssignment a;
            a.type = types[(row + layer) % 5];
            a.value = a.type == AssignmentType::SingleKey
                          ? 0x138u
                          : static_cast<std::uint32_t>(row % 10 + 1);
            table.storeRecord(layer, row, a);
        }
    }
    return table;
}

void BM_MeasureFullMacroArea(benchmark::State& state) {
    const macro::MacroList list = fullMacroList();
    for (auto _ : state) {
        benchmark::DoNotOptimize(macro::measureMacroAreaImage(list));
    }
}
BENCHMARK(BM_MeasureFullMacroArea);

void BM_BuildFullMacroArea(benchmark::State& state) {
    const macro::MacroList list = fullMacroList();
    const std::size_t size = macro::measureMacroAreaImage(list).withNames;
    if (size > kFullMacroMemory) {
        state.SkipWithError("the list does not fit the macro memory");
        return;
    }
    std::vector<std::uint8_t> image(size);
    for (auto _ : state) {
        benchmark::DoNotOptimize(macro::buildMacroAreaImage(list, image, true));
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}
BENCHMARK(BM_BuildFullMacroArea);

void BM_DecodeFullMacroArea(benchmark::State& state) {
    const macro::MacroList list = fullMacroList();
    std::vector<std::uint8_t> image(macro::measureMacroAreaImage(list).withNames);
    macro::buildMacroAreaImage(list, image, true);
    macro::MacroList decoded;
    for (auto _ : state) {
        benchmark::DoNotOptimize(macro::decodeMacroAreaImage(image, decoded));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * image.size()));
}
BENCHMARK(BM_DecodeFullMacroArea);

void BM_BuildThreeKeyMapPages(benchmark::State& state) {
    const keyboard::AssignmentTable table = busyTable();
    const macro::MacroList list = fullMacroList();
    const keyboard::MacroIndexLookup lookup = [&list](std::uint16_t id) {
        return macro::macroIndexOfId(list, id);
    };
    for (auto _ : state) {
        for (int layer = 0; layer < 3; ++layer) {
            benchmark::DoNotOptimize(
                keyboard::buildKeyMapLayer(table, layer, keyboard::BuiltInDefaultLayout, lookup));
        }
    }
}
BENCHMARK(BM_BuildThreeKeyMapPages);

void BM_DecodeThreeKeyMapPages(benchmark::State& state) {
    const keyboard::AssignmentTable source = busyTable();
    const auto lookup = [](std::uint16_t id) { return static_cast<std::uint16_t>(id - 1); };
    std::array<keyboard::KeyMapLayer, 3> pages;
    for (int layer = 0; layer < 3; ++layer) {
        pages[layer] =
            *keyboard::buildKeyMapLayer(source, layer, keyboard::BuiltInDefaultLayout, lookup);
    }
    keyboard::AssignmentTable table = keyboard::defaultTable();
    for (auto _ : state) {
        for (int layer = 0; layer < 3; ++layer) {
            keyboard::decodeKeyMapLayer(table, layer, pages[layer], keyboard::BuiltInDefaultLayout);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DecodeThreeKeyMapPages);

} // namespace

BENCHMARK_MAIN();
