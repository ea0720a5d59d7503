// Sort menu commands on catalogues of 10k, 100k, 1M and 10M models: by Fp upward
// and downward, and "Unsort" back from the Fp order.

#include "application/sort_command.h"
#include "catalogue.h"
#include "model/app_state.h"
#include "sheet/sorting.h"
#include "silent_platform.h"

#include <benchmark/benchmark.h>

using namespace kestrune;

namespace {

constexpr int kFpItem = 3;
constexpr int kUnsortItem = 1;
constexpr int kManufacturerItem = 10;
constexpr int kModelNameItem = 11;

using Filler = void (*)(ModelTable&, std::int32_t, unsigned);

// Times one Sort menu command, each run starting again from the same table.
void runSortCommand(benchmark::State& state, int item, std::int32_t direction, bool fromFpOrder,
                    Filler fill = bench::fillRandomCatalogue) {
    bench::SilentPlatform platform;
    AppState app(platform);
    const auto rows = static_cast<std::int32_t>(state.range(0));
    ModelTable start(nullptr);
    fill(start, rows, 42);
    if (fromFpOrder) {
        AscendSort(start, kFpItem);
    }
    app.sort.sendItmID = direction;
    for (auto _ : state) {
        state.PauseTiming();
        app.table = start;
        state.ResumeTiming();
        SortMenuCommand(app, MenuCommand{Command::SortKey, item});
        benchmark::DoNotOptimize(app.table.Number.data());
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_SortFpAscending(benchmark::State& state) {
    runSortCommand(state, kFpItem, 1, false);
}
void BM_SortFpDescending(benchmark::State& state) {
    runSortCommand(state, kFpItem, 2, false);
}
void BM_Unsort(benchmark::State& state) {
    runSortCommand(state, kUnsortItem, 1, true);
}
// Names as catalogues hold them: many share a maker's prefix, and model
// numbers must be ordered by value.
void BM_SortModelName(benchmark::State& state) {
    runSortCommand(state, kModelNameItem, 1, false);
}
// A few makers' names, each shared by many rows.
void BM_SortManufacturer(benchmark::State& state) {
    runSortCommand(state, kManufacturerItem, 1, false);
}
// A tenth of the rows by Polish and Japanese makers, and the same rows by
// Fp to compare with.
void BM_SortMixedModelName(benchmark::State& state) {
    runSortCommand(state, kModelNameItem, 1, false, bench::fillMixedCatalogue);
}
void BM_SortMixedManufacturer(benchmark::State& state) {
    runSortCommand(state, kManufacturerItem, 1, false, bench::fillMixedCatalogue);
}
void BM_SortMixedFp(benchmark::State& state) {
    runSortCommand(state, kFpItem, 1, false, bench::fillMixedCatalogue);
}

} // namespace

namespace {

void sortSizes(benchmark::internal::Benchmark* b) {
    b->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_SortFpAscending)->Apply(sortSizes);
BENCHMARK(BM_SortFpDescending)->Apply(sortSizes);
BENCHMARK(BM_SortModelName)->Apply(sortSizes);
BENCHMARK(BM_SortManufacturer)->Apply(sortSizes);
BENCHMARK(BM_SortMixedModelName)->Apply(sortSizes);
BENCHMARK(BM_SortMixedManufacturer)->Apply(sortSizes);
BENCHMARK(BM_SortMixedFp)->Apply(sortSizes);
BENCHMARK(BM_Unsort)->Apply(sortSizes);
