// Saving, checking and loading the largest profile file the program writes:
// 100 macros of 2000 actions each, and a program path on every key of the
// three profiles.

#include "profile/ProfileFile.h"
#include "sync/DataSets.h"
#include "sync/ProfileFileStore.h"
#include "tests/support/TemporaryFolder.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <stdlib.h>
#include <string>

namespace {

using namespace tavrik;

void fillLargestWorkingSet() {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    sync::WorkingSet& set = sync::workingSet();
    set.macros.clear();
    for (std::uint16_t m = 0; m < macro::kMaxMacros; ++m) {
        macro::MacroRecord record;
        record.setName(u"Macro with a long name " + std::u16string(1, u'A' + m % 26));
        record.setCycles(1);
        record.setId(static_cast<std::uint16_t>(m + 1));
        std::vector<macro::MacroAction> actions(macro::kMaxActions);
        for (std::size_t a = 0; a < actions.size(); ++a) {
            actions[a] = {static_cast<std::int32_t>(a % 400), 0x1E,
                          static_cast<std::uint16_t>(a % 2)};
        }
        record.setActions(actions);
        set.macros.push_back(record);
    }
    const std::u16string path = u"/usr/local/share/applications/a-rather-long-program-name/bin/run";
    for (int layer = 0; layer < 3; ++layer) {
        for (int row = 1; row < 256; ++row) {
            set.table.storeRecord(layer, row, {keyboard::AssignmentType::LaunchProgram, 0, 0});
            set.strings.set(*keyboard::StringTable::entryOf(layer, row), path);
        }
    }
}

class LargestProfile : public benchmark::Fixture {
public:
    void SetUp(const benchmark::State&) override {
        path_ = folder_.file("largest.fwc");
        fillLargestWorkingSet();
        sync::writeProfileFile(path_, true);
    }
    void TearDown(const benchmark::State&) override { sync::resetDataSets(); }

protected:
    testing::TemporaryFolder folder_;
    std::string path_;
};

BENCHMARK_F(LargestProfile, Write)(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(sync::writeProfileFile(path_, true));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path_)));
}

BENCHMARK_F(LargestProfile, Validate)(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(profile::validateProfileFile(path_));
    }
}

BENCHMARK_F(LargestProfile, Load)(benchmark::State& state) {
    const sync::DataSetLock lock = sync::lockWorkingSet();
    for (auto _ : state) {
        sync::releaseWorkingSetContents(sync::workingSet());
        benchmark::DoNotOptimize(sync::loadProfileFile(path_));
    }
}

} // namespace

BENCHMARK_MAIN();
